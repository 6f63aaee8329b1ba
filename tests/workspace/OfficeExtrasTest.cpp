// Office extras: [Client] switches and the ini path, alerts, search, CSV export, idle clock.
#include "tests/support/TempDir.h"
#include "workspace/ClientSwitches.h"
#include "workspace/CsvExport.h"
#include "workspace/IdleClock.h"
#include "workspace/NewQuoteWatch.h"
#include "workspace/OpenCaseFilter.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
struct cQuoteRow
{
    const char *Key;
    const char *Category;
    const char *Description;
    const char *Date;
};

struct cCaseRow
{
    const char *Key;
    const char *Hospital;
    const char *CaseNumber;
    const char *Insurance1;
    const char *Insurance2;
    std::vector<cQuoteRow> Quotes;
};

cProviderQuotes MakeQuotes(const std::vector<cCaseRow> &rows)
{
    cProviderQuotes quotes;
    for (const cCaseRow &row : rows)
    {
        cOpenCase open;
        open.Case = std::make_unique<cCaseObject>();
        open.Case->Key = row.Key;
        open.Case->HospitalName = row.Hospital;
        open.Case->CaseNumber = row.CaseNumber;
        open.Case->Insurance1Name = row.Insurance1;
        open.Case->Insurance2Name = row.Insurance2;
        for (const cQuoteRow &q : row.Quotes)
        {
            auto quote = std::make_unique<cCaseQuoteObject>();
            quote->Key = q.Key;
            quote->CategoryName = q.Category;
            quote->NeedDescription = q.Description;
            quote->RequiredDate = q.Date;
            open.Quotes.push_back(std::move(quote));
        }
        quotes.OpenCases.push_back(std::move(open));
    }
    return quotes;
}

// The names in a folder, in no particular order.
std::vector<std::string> Folder(const std::string &path)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator(path, ec))
        names.push_back(entry.path().filename().string());
    return names;
}
} // namespace

TEST(ClientSwitches, ValuesOfTheSwitchesAndTheMinutes)
{
    struct
    {
        const char *Text;
        bool Fallback;
        bool Expected;
    } switches[] = {{"0", true, false},  {" Off ", true, false}, {"NO", true, false}, {"false", true, false},
                    {"1", false, true},  {"yes", false, true},   {"", true, true},    {"  ", false, false},
                    {"01", false, true}, {"2", false, true}};
    for (const auto &c : switches)
        EXPECT_EQ(SwitchValue(c.Text, c.Fallback), c.Expected) << '"' << c.Text << '"';

    struct
    {
        const char *Text;
        int Expected;
    } minutes[] = {{"0", 0}, {"5", 5},    {" 30 ", 30}, {"1440", 1440},      {"1441", 15}, {"-5", 15},
                   {"", 15}, {"ten", 15}, {"5m", 15},   {"99999999999", 15}, {"007", 7}};
    for (const auto &c : minutes)
        EXPECT_EQ(MinutesValue(c.Text, 15), c.Expected) << '"' << c.Text << '"';
}

TEST(ClientSwitches, ReadFromTheClientSectionWithDefaultsForTheRest)
{
    cTempDir dir;
    const std::string ini = dir.Write("Dorvane.ini", "[DataServer]\r\nIP=1.2.3.4\r\nAlerts=0\r\n"
                                                     "[Client]\r\nSearch=0\r\nLockMinutes=3\r\n");
    const cClientSwitches read = ReadClientSwitches(ini);
    EXPECT_TRUE(read.Alerts) << "a key of another section does not count";
    EXPECT_FALSE(read.Search);
    EXPECT_TRUE(read.Export);
    EXPECT_EQ(read.LockMinutes, 3);

    const cClientSwitches missing = ReadClientSwitches(dir.File("absent.ini"));
    EXPECT_TRUE(missing.Alerts && missing.Search && missing.Export);
    EXPECT_EQ(missing.LockMinutes, 15);
}

TEST(ClientSwitches, IniBesideTheProgramFirstThenTheConfigurationFolder)
{
    cTempDir program, xdg, home;
    mkdir((home.Path + ".config").c_str(), 0700);
    mkdir((home.Path + ".config/Dorvane").c_str(), 0700);
    mkdir((xdg.Path + "Dorvane").c_str(), 0700);
    const std::string beside = program.File("Dorvane.ini");

    // Nothing anywhere: the program folder's name (read as empty).
    EXPECT_EQ(ClientIniPath(program.Path, xdg.Path.c_str(), home.Path.c_str()), beside);
    const std::string homeIni = home.Write(".config/Dorvane/Dorvane.ini", "[Client]\n");
    EXPECT_EQ(ClientIniPath(program.Path, nullptr, home.Path.c_str()), homeIni);
    EXPECT_EQ(ClientIniPath(program.Path, "", home.Path.c_str()), homeIni) << "empty XDG_CONFIG_HOME";
    EXPECT_EQ(ClientIniPath(program.Path, "relative", home.Path.c_str()), homeIni)
        << "relative XDG_CONFIG_HOME";
    // XDG_CONFIG_HOME set: its folder only, even when the file is missing there.
    EXPECT_EQ(ClientIniPath(program.Path, xdg.Path.c_str(), home.Path.c_str()), beside);
    const std::string xdgIni = xdg.Write("Dorvane/Dorvane.ini", "[Client]\n");
    EXPECT_EQ(ClientIniPath(program.Path, xdg.Path.c_str(), home.Path.c_str()), xdgIni);
    EXPECT_EQ(ClientIniPath(program.Path, nullptr, nullptr), beside);
    // The file beside the program wins.
    program.Write("Dorvane.ini", "[Client]\n");
    EXPECT_EQ(ClientIniPath(program.Path, xdg.Path.c_str(), home.Path.c_str()), beside);
}

TEST(NewQuoteWatch, AlertsOncePerNewKeyAndNeverOnTheFirstLoad)
{
    cNewQuoteWatch watch;
    const cProviderQuotes first =
        MakeQuotes({{"1", "Mercy", "A1", "", "", {{"10", "", "", ""}, {"11", "", "", ""}}}});
    EXPECT_EQ(watch.Update(first).Count, 0) << "the first load only records its keys";
    EXPECT_EQ(watch.Update(first).Count, 0) << "nothing new";

    const cProviderQuotes second =
        MakeQuotes({{"1", "Mercy", "A1", "", "", {{"10", "", "", ""}, {"12", "", "", ""}}},
                    {"2", "St. Luke", "B", "", "", {{"13", "", "", ""}}},
                    {"3", "Mercy", "C", "", "", {{"14", "", "", ""}}},
                    {"4", "", "D", "", "", {{"15", "", "", ""}}}});
    const cQuoteAlert alert = watch.Update(second);
    EXPECT_EQ(alert.Title() + "|" + alert.Body(), "4 new case requests|Mercy, St. Luke");
    EXPECT_EQ(watch.Update(second).Count, 0) << "each key once";

    // A key that left a load and comes back was seen already.
    EXPECT_EQ(watch.Update(MakeQuotes({})).Count, 0);
    const cQuoteAlert back =
        watch.Update(MakeQuotes({{"1", "Mercy", "A1", "", "", {{"11", "", "", ""}, {"16", "", "", ""}}}}));
    EXPECT_EQ(back.Title() + "|" + back.Body(), "1 new case request|Mercy");

    watch.Reset();
    EXPECT_EQ(watch.Update(second).Count, 0) << "after a reset the next load is a first load";
}

TEST(OpenCaseFilter, CasesMatchByHospitalNumberOrInsuranceAndQuotesByCategoryDescriptionOrDate)
{
    const cProviderQuotes quotes = MakeQuotes(
        {{"1",
          "Mercy General",
          "MG-100",
          "Medicare",
          "BlueShield",
          {{"10", "Oxygen", "Portable tank", "03/04/2024  10:00"},
           {"11", "Hospital Bed", "Full electric", "03/05/2024"}}},
         {"2",
          "St. Luke",
          "SL-7",
          "Medicaid",
          "",
          {{"12", "Wheelchair", "Light, oxygen holder", "04/01/2024"}, {"13", "Walker", "", "04/02/2024"}}},
         {"3", "Harbor", "H-1", "", "", {}}});
    cOpenCaseFilter filter;
    filter.Index(quotes.OpenCases);
    EXPECT_EQ(filter.QuoteCounts, (std::vector<int>{2, 2, 0}));

    // Tree order: case 1, 10, 11, case 2, 12, 13, case 3.
    struct
    {
        const char *Text;
        std::vector<char> Visible;
    } cases[] = {
        {"", {1, 1, 1, 1, 1, 1, 1}},
        {"   ", {1, 1, 1, 1, 1, 1, 1}},
        {"mercy", {1, 1, 1, 0, 0, 0, 0}},          // hospital: the case with all its quotes
        {"sl-7", {0, 0, 0, 1, 1, 1, 0}},           // case number, case-insensitive
        {"BLUESHIELD", {1, 1, 1, 0, 0, 0, 0}},     // second insurance
        {"medicare, blue", {1, 1, 1, 0, 0, 0, 0}}, // the insurance column as shown
        {"oxygen", {1, 1, 0, 1, 1, 0, 0}},         // category of one, description of another
        {" walker ", {0, 0, 0, 1, 0, 1, 0}},       // blanks around ignored
        {"03/05", {1, 0, 1, 0, 0, 0, 0}},          // date
        {"harbor", {0, 0, 0, 0, 0, 0, 1}},         // a case without quotes
        {"bed\x1f"
         "full",
         {0, 0, 0, 0, 0, 0, 0}}, // never across two fields
        {"nothing", {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto &c : cases)
    {
        filter.Apply(c.Text);
        EXPECT_EQ(filter.Visible, c.Visible) << '"' << c.Text << '"';
        // The same, line by line as the tree asks; lines beyond the indexed shape are shown.
        std::vector<char> lines;
        for (int row = 0; row < 3; ++row)
        {
            lines.push_back(filter.CaseShown(row));
            for (int q = 0; q < filter.QuoteCounts[static_cast<std::size_t>(row)]; ++q)
                lines.push_back(filter.QuoteShown(row, q));
        }
        EXPECT_EQ(lines, c.Visible) << '"' << c.Text << '"';
        EXPECT_TRUE(filter.CaseShown(3) && filter.CaseShown(-1) && filter.QuoteShown(2, 0) &&
                    filter.QuoteShown(0, 2));
    }

    // A new index (the next load) starts with everything shown and takes the new shape.
    filter.Index(MakeQuotes({{"4", "Mercy", "", "", "", {{"20", "", "", ""}}}}).OpenCases);
    EXPECT_EQ(filter.Visible, (std::vector<char>{1, 1}));
    filter.Apply("mercy");
    EXPECT_EQ(filter.Visible, (std::vector<char>{1, 1}));
    EXPECT_EQ(FoldCase("AbC-Ä"), "abc-Ä");
}

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    struct
    {
        const char *Text;
        const char *Expected;
    } cases[] = {{"plain", "plain"},
                 {"", ""},
                 {"a,b", "\"a,b\""},
                 {"say \"hi\"", "\"say \"\"hi\"\"\""},
                 {"two\nlines", "\"two\nlines\""},
                 {"cr\rlf", "\"cr\rlf\""},
                 {"\"", "\"\"\"\""},
                 {" spaced ", " spaced "}};
    for (const auto &c : cases)
        EXPECT_EQ(CsvField(c.Text), c.Expected) << c.Text;
}

TEST(CsvExport, AwardedLinesCarryTheShownDateHospitalNumberCategoryAndDescription)
{
    std::vector<std::unique_ptr<cCaseQuoteObject>> awarded;
    auto quote = std::make_unique<cCaseQuoteObject>();
    quote->RequiredDate = "03/04/2024  10:00";
    quote->RequiredDateText = "202403041000";
    quote->CategoryName = "Oxygen";
    quote->NeedDescription = "Tank, \"large\"\nby noon";
    quote->AwardedCase = std::make_unique<cCaseObject>();
    quote->AwardedCase->HospitalName = "Mercy, General";
    quote->AwardedCase->CaseNumber = "MG-1";
    awarded.push_back(std::move(quote));
    awarded.push_back(std::make_unique<cCaseQuoteObject>()); // without its case: empty columns
    EXPECT_EQ(AwardedCasesCsv(awarded), "Delivery Date,Hospital,Case Number,Category,Description\r\n"
                                        "03/04/2024  10:00,\"Mercy, General\",MG-1,Oxygen,"
                                        "\"Tank, \"\"large\"\"\nby noon\"\r\n"
                                        ",,,,\r\n");
    EXPECT_EQ(AwardedCasesCsv({}), "Delivery Date,Hospital,Case Number,Category,Description\r\n");
}

TEST(CsvExport, WriteReplacesTheFileAndAFailureLeavesNothingBehind)
{
    cTempDir dir;
    std::string error;
    const std::string path = dir.File("awarded.csv");
    ASSERT_TRUE(WriteFileReplacing(path, "first", error)) << error;
    EXPECT_EQ(ReadFile(path), "first");
    ASSERT_TRUE(WriteFileReplacing(path, "second, longer", error)) << error;
    EXPECT_EQ(ReadFile(path), "second, longer");
    EXPECT_EQ(Folder(dir.Path), (std::vector<std::string>{"awarded.csv"})) << "no temporary file left";

    // The target is a folder: the rename fails, the temporary file goes, the folder stays.
    mkdir(dir.File("folder").c_str(), 0700);
    EXPECT_FALSE(WriteFileReplacing(dir.File("folder"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Folder(dir.Path).size(), 2u);
    EXPECT_TRUE(Folder(dir.File("folder")).empty());

    // A folder that does not exist: no file is made.
    EXPECT_FALSE(WriteFileReplacing(dir.File("missing/awarded.csv"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WriteFileReplacing("", "x", error));

    // A folder that cannot be written to: the old file keeps its content.
    if (geteuid() != 0)
    {
        chmod(dir.Path.c_str(), 0500);
        EXPECT_FALSE(WriteFileReplacing(path, "third", error));
        chmod(dir.Path.c_str(), 0700);
        EXPECT_EQ(ReadFile(path), "second, longer");
    }
    EXPECT_EQ(Folder(dir.Path).size(), 2u);
}

TEST(IdleClock, DueAfterTheMinutesWithoutInput)
{
    std::int64_t now = 1000;
    cIdleClock clock([&now] { return now; });
    EXPECT_FALSE(clock.IsDue()) << "no minutes set: never";
    now += 24LL * 60 * 60 * 1000;
    EXPECT_FALSE(clock.IsDue());

    clock.SetMinutes(2);
    now += 2 * 60 * 1000 - 1;
    EXPECT_FALSE(clock.IsDue());
    now += 1;
    EXPECT_TRUE(clock.IsDue());
    clock.Touch();
    EXPECT_FALSE(clock.IsDue()) << "input starts the time anew";
    now += 60 * 1000;
    clock.Touch();
    now += 60 * 1000 + 500;
    EXPECT_FALSE(clock.IsDue());
    now += 60 * 1000;
    EXPECT_TRUE(clock.IsDue());

    clock.SetMinutes(0);
    now += 10LL * 60 * 60 * 1000;
    EXPECT_FALSE(clock.IsDue()) << "0 turns it off";
    clock.SetMinutes(-3);
    EXPECT_EQ(clock.Minutes(), 0);

    std::int64_t other = 5;
    clock.SetMinutes(1);
    clock.SetClock([&other] { return other; });
    other += 60 * 1000;
    EXPECT_TRUE(clock.IsDue()) << "a new clock counts from when it was set";
}
