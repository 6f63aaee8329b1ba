// "Print..." on the two case pages against DorvaneServer with demo data: the referral packet of
// the shown case written as a PDF file and read back as text with pdftotext, checked against the
// stored records and what the page and the health detail view show; failed writes and the switch.
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/PacketPainter.h"
#include "ui/PacketPrintButton.h"
#include "workspace/HealthDetailGroups.h"
#include "json/cJSON.h"

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTableWidget>
#include <filesystem>

using namespace ui_test;

namespace
{
const QString EmptyBox = QString(QChar(0x2610));
const QString TickedBox = QString(QChar(0x2612));

// Runs of blanks and line breaks as one blank.
QString Collapsed(const QString &text)
{
    return text.simplified();
}

// The text without any blank or line break: pdftotext finds the gaps between words from the
// glyphs' positions and may miss a narrow one ("1 g"), so the bodies are compared without them.
QString Squeezed(const QString &text)
{
    QString squeezed = text;
    squeezed.remove(QRegularExpression("\\s+"));
    return squeezed;
}

class PacketPrint : public cWorkspaceTest
{
protected:
    cPacketPrintButton *PrintButton(const char *name) { return Find<cPacketPrintButton>(name); }

    // Prints with the dialog answered by a PDF file at path (cancelled when path is empty).
    void PrintToPdf(const char *button, const std::string &path)
    {
        PrintButton(button)->SetPrinterAsker(
            [path](QPrinter &printer)
            {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(QString::fromStdString(path));
                return !path.empty();
            });
        Click(button);
    }

    // The pages of a PDF file as pdftotext reads them (with the layout of the lines kept).
    static QStringList PdfPages(const std::string &path)
    {
        QProcess reader;
        reader.start("pdftotext", {"-layout", QString::fromStdString(path), "-"});
        if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        {
            ADD_FAILURE() << "pdftotext failed: " << reader.readAllStandardError().toStdString();
            return {};
        }
        QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split('\f');
        while (!pages.isEmpty() && pages.back().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }
    // A page's lines without the empty ones.
    static QStringList Lines(const QString &page)
    {
        QStringList lines;
        for (const QString &line : page.split('\n'))
            if (!line.trimmed().isEmpty())
                lines << line;
        return lines;
    }
    // A page's body: its lines without the header (the first) and the footer (the last), squeezed.
    static QString Body(const QString &page)
    {
        const QStringList lines = Lines(page);
        return lines.size() > 2 ? Squeezed(lines.mid(1, lines.size() - 2).join(' ')) : QString();
    }

    // The texts in order: each must follow the one before it in the text; the first missing one is
    // returned (empty when all were found).
    static std::string FirstMissing(const QString &text, const QStringList &expected)
    {
        qsizetype at = 0;
        for (const QString &item : expected)
        {
            const qsizetype found = text.indexOf(Squeezed(item), at);
            if (found < 0)
                return item.toStdString() +
                       "  (after: " + text.mid(std::max<qsizetype>(0, at - 80), 160).toStdString() + ")";
            at = found + Squeezed(item).size();
        }
        return {};
    }

    // What the health detail view shows of each group, in order: its caption, then its items as
    // the packet prints them (a box with its mark, an edit with its caption, a memo's text, the
    // grid's filled rows).
    QStringList ShownHealthDetails()
    {
        QStringList shown;
        for (const cHealthGroup &group : HealthDetailGroups())
        {
            shown << QString::fromUtf8(group.Caption.data(), group.Caption.size()).trimmed();
            for (const cHealthItem &item : group.Items)
            {
                QWidget *control = Health->Control(item.Name);
                if (auto *box = qobject_cast<QAbstractButton *>(control))
                    shown << (box->isChecked() ? TickedBox : EmptyBox) + " " + box->text().trimmed();
                else if (auto *edit = qobject_cast<cLabeledEdit *>(control))
                    shown << edit->Caption().trimmed() + " " + edit->text();
                else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
                    shown << memo->toPlainText();
                else if (auto *grid = qobject_cast<QTableWidget *>(control))
                    for (const QString &row : GridRows(grid))
                        shown << row;
            }
        }
        return shown;
    }
    // The grid's heading and its rows that hold something, cells joined by blanks.
    static QStringList GridRows(const QTableWidget *grid)
    {
        QStringList rows;
        for (int r = 0; r < grid->rowCount(); ++r)
        {
            QStringList cells;
            bool filled = r == 0;
            for (int c = 0; c < grid->columnCount(); ++c)
            {
                cells << grid->item(r, c)->text();
                filled = filled || (c > 0 && !cells.back().isEmpty());
            }
            if (filled)
                rows << cells.join(' ');
        }
        return rows;
    }
    // Rows of the stored prescriptions beyond the twenty that the view's grid shows.
    QStringList StoredRowsBeyondTheGrid(const std::string &caseKey)
    {
        cJSON details(Field("Cases", caseKey, 1002));
        cJSON *grid = details.GetObject("PrescriptionsGroupBox")
                          ->GetObject("Details")
                          ->GetObject("PrescriptionsStringGrid");
        QStringList rows;
        for (int r = PrescriptionRows + 1; grid->HasValue("Line" + std::to_string(r)); ++r)
        {
            QStringList cells{QString::number(r)};
            for (int c = 1; c <= 7; ++c)
                cells << QString::fromStdString(
                    grid->GetObject("Line" + std::to_string(r))->GetValue("Col" + std::to_string(c)));
            rows << cells.join(' ');
        }
        return rows;
    }
    QStringList FilesIn(const std::string &folder)
    {
        return QDir(QString::fromStdString(folder))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    std::string Today() { return FormatDateTime("mm/dd/yyyy", Now()); }
};
} // namespace

TEST_F(PacketPrint, TheCaseDetailPacketHoldsEveryFieldOfTheCaseInOrderOnPagesThatSplitNoRow)
{
    Open();
    const std::string quote = QuoteOf("Hartley"), caseKey = CaseOf(quote);
    ASSERT_EQ(Field("Cases", caseKey, 22), "C-2025-1013");
    ASSERT_TRUE(OpenQuote(quote));
    EXPECT_TRUE(Shown("CaseDetailPrintButton")) << "on by default";
    EXPECT_EQ(ShownTexts(Main.get(), {"CaseDetailPrintButton"}), std::vector<std::string>{"Print..."});
    cTempDir dir;
    const std::string path = dir.File("packet.pdf"), before = Today();
    PrintToPdf("CaseDetailPrintButton", path);
    EXPECT_TRUE(Host.Messages.empty()) << Said(Host)[0];
    const QStringList pages = PdfPages(path);
    ASSERT_GT(pages.size(), 1) << "a packet of the fully filled case takes more than one page";
    EXPECT_EQ(FilesIn(dir.Path), QStringList{"packet.pdf"}) << "no temporary file is left";
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "patient data: for its owner only";

    // Every page: the provider and the case above, the user, the date and the page number below.
    const std::string user = Member("admin@bayview.example", "f10") + " " +
                             Member("admin@bayview.example", "f11") + " " +
                             Member("admin@bayview.example", "f13");
    for (int p = 0; p < pages.size(); ++p)
    {
        const QStringList lines = Lines(pages[p]);
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(Collapsed(lines.front()),
                  QString::fromStdString(Field("ProviderEntities", ProviderSeq(), 10) + " Case C-2025-1013"));
        const QString footer = Collapsed(lines.back());
        const QString page = QString(" Page %1 of %2").arg(p + 1).arg(pages.size());
        EXPECT_TRUE(footer == QString::fromStdString("Printed by " + user + " on " + before) + page ||
                    footer == QString::fromStdString("Printed by " + user + " on " + Today()) + page)
            << footer.toStdString();
    }

    // The body of all pages: every field of the case in order, as stored or as the page shows it,
    // then all nineteen groups as the health detail view shows them, and the stored rows beyond
    // the view's grid.
    QString body;
    for (const QString &page : pages)
        body += Body(page) + " ";
    const std::vector<std::string> stored = StoredCaseTexts(quote);
    const std::string worker = Field("Cases", caseKey, 23);
    QStringList expected{"Referral Packet",
                         "Case",
                         QString::fromStdString("Hospital " + stored[0]),
                         "Case Number C-2025-1013",
                         QString::fromStdString("Date, Time Required " + stored[1]),
                         QString::fromStdString("What is needed " + stored[2]),
                         QString::fromStdString("Description " + stored[3]),
                         QString::fromStdString("Case Worker " + Field("Personnel", worker, 11) + " " +
                                                Field("Personnel", worker, 13)),
                         "Patient Information",
                         "Age " + Find<QLabel>("AgeLabel")->text(),
                         "Gender " + Find<QLabel>("GenderLabel")->text(),
                         QString::fromStdString("Height " + stored[4]),
                         QString::fromStdString("Weight " + stored[5]),
                         "Diagnosis",
                         QString::fromStdString(stored[6]),
                         "Diagnosis Codes",
                         "Code Description"};
    for (const char *table : {"DiagCodeDetail", "TreatmentCodeDetail"})
    {
        if (std::string(table) == "TreatmentCodeDetail")
            expected << "Treatment Codes"
                     << "Code Description";
        for (const std::string &code : StoredCodes(table, caseKey))
            expected << QString::fromStdString(code).replace('|', ' ');
    }
    ASSERT_FALSE(StoredCodes("DiagCodeDetail", caseKey).empty());
    expected << "Health Details";
    const QStringList health = ShownHealthDetails();
    expected << health;
    EXPECT_EQ(FirstMissing(body, expected), "");
    const QStringList beyond = StoredRowsBeyondTheGrid(caseKey);
    ASSERT_FALSE(beyond.isEmpty()) << "the demo case holds more prescriptions than the grid shows";
    EXPECT_EQ(FirstMissing(body, QStringList{health[1]} << beyond << "N/A"), "");

    // No table row is split: each prescription row (and each code row) is whole on one page, and a
    // page that continues the table repeats its heading above its rows.
    const QStringList rows = GridRows(Health->PrescriptionsStringGrid).mid(1) + beyond;
    int pagesWithRows = 0;
    for (const QString &row : rows)
    {
        int holding = 0;
        for (const QString &page : pages)
            holding += Body(page).contains(Squeezed(row));
        EXPECT_EQ(holding, 1) << row.toStdString();
    }
    for (const QString &page : pages)
    {
        const QString text = Body(page);
        qsizetype first = -1;
        for (const QString &row : rows)
            if (const qsizetype at = text.indexOf(Squeezed(row)); at >= 0 && (first < 0 || at < first))
                first = at;
        if (first < 0)
            continue;
        ++pagesWithRows;
        const qsizetype heading = text.indexOf(Squeezed(health[1]));
        EXPECT_TRUE(heading >= 0 && heading < first) << text.left(300).toStdString();
    }
    EXPECT_GT(pagesWithRows, 1) << "the prescriptions run over a page break";
}

TEST_F(PacketPrint, TheAwardedCasePacketShowsThePatientAsThatPageDoes)
{
    Open();
    ShowAwardedTab();
    const std::string quote = Db->Scalar(
        "SELECT q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 JOIN Cases c ON c.f1 = n.f10 "
        "WHERE c.f22 = 'C-2025-1015' AND n.f16 = CAST(q.f1 AS TEXT)");
    ASSERT_TRUE(OpenAwarded(quote));
    cTempDir dir;
    const std::string path = dir.File("awarded.pdf");
    PrintToPdf("AwardedCasePrintButton", path);
    EXPECT_TRUE(Host.Messages.empty());
    const QStringList pages = PdfPages(path);
    ASSERT_FALSE(pages.isEmpty());
    QString body;
    for (const QString &page : pages)
        body += Body(page) + " ";
    const auto shown = [this](const char *name) { return Find<QLabel>(name)->text(); };
    EXPECT_EQ(
        FirstMissing(body, {"Hospital " + shown("HospitalDLabel"), "Case Number C-2025-1015",
                            "Case Worker " + shown("DischargeNurseDLabel"),
                            "Insurance " + shown("InsuranceDLabel"), "Patient Information",
                            "Name " + shown("PatientNameDLabel"), "SSN " + shown("PatientSSNDLabel"),
                            "Age " + shown("PatientAgeDLabel"), "Gender " + shown("PatientGenderDLabel"),
                            "Address " + shown("PatientStreetDLabel"), shown("PatientCityDLabel"),
                            shown("PatientStateZipDLabel"), "Phone " + shown("PatientPhoneDLabel"),
                            "Diagnosis", Find<QPlainTextEdit>("DiagnosisDMemo")->toPlainText(),
                            "Health Details", "Prescriptions", "Advance Directives"}),
        "");
    EXPECT_FALSE(shown("PatientSSNDLabel").isEmpty());
}

TEST_F(PacketPrint, AFailedWriteIsSaidAndLeavesNoFileACancelWritesNothing)
{
    Open();
    ASSERT_TRUE(OpenQuote(QuoteOf("Hartley")));
    cTempDir dir;
    // Cancelled: nothing written, nothing said.
    PrintToPdf("CaseDetailPrintButton", "");
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_TRUE(FilesIn(dir.Path).isEmpty());
    // A folder that does not exist, and a name that is a folder: said; no file, nothing left over,
    // the folder untouched.
    std::filesystem::create_directory(dir.File("keep"));
    dir.Write("keep/old.txt", "old");
    for (const std::string &path : {dir.File("missing/packet.pdf"), dir.File("keep")})
    {
        Host.Messages.clear();
        PrintToPdf("CaseDetailPrintButton", path);
        ASSERT_EQ(Host.Messages.size(), 1u) << path;
        EXPECT_EQ(Host.Messages[0].Caption, "Print");
        EXPECT_NE(Host.Messages[0].Text.find("could not be written to " + path), std::string::npos)
            << Host.Messages[0].Text;
        EXPECT_EQ(FilesIn(dir.Path), QStringList{"keep"}) << path;
        EXPECT_EQ(FilesIn(dir.File("keep")), QStringList{"old.txt"});
        EXPECT_EQ(ReadFile(dir.File("keep/old.txt")), "old");
    }
}

TEST_F(PacketPrint, APrinterGetsTheSamePagesAsThePdf)
{
    Open();
    ASSERT_TRUE(OpenQuote(QuoteOf("Hartley")));
    const cReferralPacket packet = PrintButton("CaseDetailPrintButton")->Packet();
    cPacketPainter pdf(packet);
    ASSERT_FALSE(pdf.Pdf().isEmpty());
    // A printer's device (its own resolution and paper) laid out the same: as many pages.
    cTempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("printer.pdf")));
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(cPacketPainter::PageMargins(), QPageLayout::Millimeter);
    cPacketPainter paper(packet);
    ASSERT_TRUE(paper.Paint(printer));
    EXPECT_EQ(paper.PageCount(), pdf.PageCount());
    EXPECT_EQ(PdfPages(dir.File("printer.pdf")).size(), pdf.PageCount());
}
