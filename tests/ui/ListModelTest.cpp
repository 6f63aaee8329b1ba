// The list models of the workspace without widgets: their shape (checked by Qt's model tester),
// the text each line speaks, its key and column roles, copies handed to handlers, and the search
// over the open-requests tree.
#include "ui/AwardedCaseModel.h"
#include "ui/ListRoles.h"
#include "ui/OpenCaseFilterModel.h"
#include "ui/OpenCaseModel.h"
#include "ui/PersonnelModel.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace
{
// Two open cases (the second without case number) with their quotes, and one awarded quote.
std::shared_ptr<cProviderQuotes> Load(const std::string &suffix = "")
{
    auto quotes = std::make_shared<cProviderQuotes>();
    const struct
    {
        const char *Key, *Hospital, *Number, *Insurance;
        std::vector<std::pair<const char *, bool>> Quotes; // key, accepted
    } cases[] = {{"7", "Mercy", "MG-1", "Medicare", {{"70", false}, {"71", true}}},
                 {"8", "St. Luke", "", "", {{"80", false}}}};
    for (const auto &c : cases)
    {
        cOpenCase open;
        open.Case = std::make_unique<cCaseObject>();
        open.Case->Key = c.Key;
        open.Case->HospitalName = c.Hospital + suffix;
        open.Case->CaseNumber = c.Number;
        open.Case->Insurance1Name = c.Insurance;
        for (const auto &[key, accepted] : c.Quotes)
        {
            auto &quote = open.Quotes.emplace_back(std::make_unique<cCaseQuoteObject>());
            quote->Key = key;
            quote->RequiredDate = "03/15/2010";
            quote->CategoryName = "Oxygen";
            quote->NeedDescription = std::string("Tank ") + key;
            quote->Accepted = accepted;
        }
        quotes->OpenCases.push_back(std::move(open));
    }
    auto &awarded = quotes->Awarded.emplace_back(std::make_unique<cCaseQuoteObject>());
    awarded->Key = "90";
    awarded->RequiredDate = "04/01/2010  09:00";
    awarded->CategoryName = "Walker";
    awarded->NeedDescription = "Folding";
    awarded->AwardedCase->HospitalName = "Harbor";
    awarded->AwardedCase->CaseNumber = "H-9";
    awarded->AwardedCase->Key = "9";
    return quotes;
}

std::vector<std::string> Lines(const QAbstractItemModel &model, int role, const QModelIndex &parent = {})
{
    std::vector<std::string> lines;
    for (int row = 0; row < model.rowCount(parent); ++row)
    {
        const QModelIndex line = model.index(row, 0, parent);
        lines.push_back((parent.isValid() ? "  " : "") + line.data(role).toString().toStdString());
        for (const std::string &child : Lines(model, role, line))
            lines.push_back(child);
    }
    return lines;
}
} // namespace

TEST(OpenCaseModel, LinesSpeakAsDrawnAndCarryTheirKeysAndColumns)
{
    cOpenCaseModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0) << "no load yet";
    model.SetQuotes(Load());
    EXPECT_EQ(Lines(model, Qt::DisplayRole),
              (std::vector<std::string>{"Mercy, MG-1, Medicare", "  03/15/2010, Oxygen, Tank 70",
                                        "  03/15/2010, Oxygen, Tank 71", "St. Luke",
                                        "  03/15/2010, Oxygen, Tank 80"}));
    EXPECT_EQ(Lines(model, Qt::AccessibleTextRole), Lines(model, Qt::DisplayRole));
    EXPECT_EQ(Lines(model, list_role::Key), (std::vector<std::string>{"7", "  70", "  71", "8", "  80"}));
    EXPECT_EQ(Lines(model, list_role::Accepted),
              (std::vector<std::string>{"", "  false", "  true", "", "  false"}));
    const QModelIndex mercy = model.index(0, 0), tank71 = model.index(1, 0, mercy);
    EXPECT_EQ((std::vector<QVariant>{mercy.data(list_role::Hospital), mercy.data(list_role::CaseNumber),
                                     mercy.data(list_role::Insurance), tank71.data(list_role::Date),
                                     tank71.data(list_role::Description), tank71.data(list_role::IsQuote)}),
              (std::vector<QVariant>{"Mercy", "MG-1", "Medicare", "03/15/2010", "Oxygen, Tank 71", true}));

    // Handlers get copies; a load replaces every line and leaves the copies as they were.
    cCaseQuoteObject quote;
    std::string caseKey;
    ASSERT_TRUE(model.QuoteAt(tank71, quote, caseKey));
    EXPECT_FALSE(model.QuoteAt(mercy, quote, caseKey)) << "a case line is no quote";
    cCaseObject caseObject;
    EXPECT_TRUE(model.CaseAt(mercy, caseObject) && !model.CaseAt(tank71, caseObject));
    model.SetQuotes(std::make_shared<cProviderQuotes>());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(quote.Key + "|" + quote.NeedDescription + "|" + caseKey + "|" + caseObject.HospitalName,
              "71|Tank 71|7|Mercy");
    cCaseQuoteObject stale;
    EXPECT_FALSE(model.QuoteAt(tank71, stale, caseKey) || model.CaseAt(mercy, caseObject))
        << "an index kept from before the load finds no line";
}

TEST(OpenCaseFilterModel, SearchLeavesLinesOutAndIsKeptAcrossLoads)
{
    cOpenCaseModel source;
    cOpenCaseFilterModel search(&source);
    QAbstractItemModelTester tester(&search, QAbstractItemModelTester::FailureReportingMode::Fatal);
    search.SetQuotes(Load());
    const struct
    {
        const char *Text;
        std::vector<std::string> Keys;
    } cases[] = {
        {"", {"7", "  70", "  71", "8", "  80"}},
        {"luke", {"8", "  80"}},    // a case with all its quotes
        {"tank 71", {"7", "  71"}}, // a quote with its case
        {"TANK", {"7", "  70", "  71", "8", "  80"}},
        {"nothing", {}},
    };
    for (const auto &c : cases)
    {
        search.SetSearchText(c.Text);
        EXPECT_EQ(Lines(search, list_role::Key), c.Keys) << c.Text;
    }
    search.SetSearchText("mercy");
    search.SetQuotes(Load(" West"));
    EXPECT_EQ(Lines(search, Qt::DisplayRole),
              (std::vector<std::string>{"Mercy West, MG-1, Medicare", "  03/15/2010, Oxygen, Tank 70",
                                        "  03/15/2010, Oxygen, Tank 71"}))
        << "the text is applied to the next load";
    EXPECT_EQ(Lines(source, list_role::Key).size(), 5u) << "the model keeps every line";
}

TEST(AwardedCaseModel, EntriesSpeakAsDrawnAndCopyWithTheirCase)
{
    cAwardedCaseModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetQuotes(Load());
    EXPECT_EQ(Lines(model, Qt::AccessibleTextRole),
              std::vector<std::string>{"04/01/2010  09:00, Harbor, H-9, Walker, Folding"});
    EXPECT_EQ(Lines(model, Qt::DisplayRole), Lines(model, Qt::AccessibleTextRole));
    const QModelIndex entry = model.index(0, 0);
    EXPECT_EQ((std::vector<QVariant>{entry.data(list_role::Key), entry.data(list_role::Date),
                                     entry.data(list_role::Hospital), entry.data(list_role::CaseNumber),
                                     entry.data(list_role::Description)}),
              (std::vector<QVariant>{"90", "04/01/2010  09:00", "Harbor", "H-9", "Walker   Folding"}));
    cCaseQuoteObject quote;
    EXPECT_FALSE(model.QuoteAt(1, quote));
    ASSERT_TRUE(model.QuoteAt(0, quote));
    model.SetQuotes(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(quote.Key + "|" + quote.AwardedCase->Key, "90|9");
}

TEST(PersonnelModel, MembersShowTheirNamesAndKeepTheRestOutOfTheText)
{
    cPersonnelModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    cPersonnelMember alice;
    alice.Seq = "4";
    alice.FName = "Alice";
    alice.LName = "Morgan";
    alice.PW = "secret";
    cPersonnelMember chen;
    chen.Seq = "5";
    chen.LName = "Chen";
    model.SetMembers({alice, chen});
    EXPECT_EQ(Lines(model, Qt::DisplayRole), (std::vector<std::string>{"Alice Morgan", " Chen"}));
    EXPECT_EQ(Lines(model, Qt::AccessibleTextRole), Lines(model, Qt::DisplayRole));
    EXPECT_EQ(Lines(model, list_role::Key), (std::vector<std::string>{"4", "5"}));
    cPersonnelMember opened;
    ASSERT_TRUE(model.MemberAt(0, opened));
    EXPECT_EQ(opened.PW, "secret") << "the panel gets the member from the model";
    EXPECT_FALSE(model.MemberAt(2, opened));
}
