#include "ui/PacketPrintButton.h"

#include "state/Session.h"
#include "toolkit/DateTime.h"
#include "toolkit/Host.h"
#include "ui/Look.h"
#include "ui/PacketPainter.h"
#include "workspace/CsvExport.h"
#include "workspace/RecordLines.h"
#include "workspace/SignedInUser.h"

#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>

namespace
{
const char *const Caption = "Print";
} // namespace

cPacketPrintButton::cPacketPrintButton(const char *objectName, cSession &session,
                                       std::function<cPacketContent()> content, QWidget *parent)
    : QPushButton("Print...", parent), Session(session), Content(std::move(content))
{
    setObjectName(objectName);
    setAutoDefault(false);
    setAccessibleName("Print referral packet");
    connect(this, &QPushButton::clicked, this, &cPacketPrintButton::PrintButtonClick);
}

cReferralPacket cPacketPrintButton::Packet() const
{
    cPacketContent content = Content();
    content.ProviderName = Session.ProviderRecord.Strings(CompanyNameLine);
    content.PrintedBy = SignedInUser(Session.PersonnelRecord).Name;
    content.PrintedOn = FormatDateTime("mm/dd/yyyy", Now());
    return BuildReferralPacket(content);
}

void cPacketPrintButton::PrintButtonClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(cPacketPainter::PageMargins(), QPageLayout::Millimeter);
    printer.setDocName(ToQt("Referral packet"));
    if (!AskForPrinter(printer))
        return;
    const cReferralPacket packet = Packet();
    // The dialog's choice of a PDF file is written by the PDF writer, never half.
    if (printer.outputFormat() == QPrinter::PdfFormat)
        WritePdf(packet, ToStd(printer.outputFileName()));
    else
        PrintOn(printer, packet);
}

bool cPacketPrintButton::AskForPrinter(QPrinter &printer)
{
    if (AskPrinter)
        return AskPrinter(printer);
    QPrintDialog dialog(&printer, window());
    dialog.setWindowTitle("Print Referral Packet");
    return dialog.exec() == QDialog::Accepted;
}

bool cPacketPrintButton::WritePdf(const cReferralPacket &packet, const std::string &path)
{
    const QByteArray pdf = cPacketPainter(packet).Pdf();
    std::string error = "the document could not be made";
    if (!pdf.isEmpty() && WriteFileReplacing(path, std::string_view(pdf.constData(), pdf.size()), error))
        return true;
    Host().MessageBox("The referral packet could not be written to " + path + " (" + error + ").", Caption,
                      cHostButtons::Ok);
    return false;
}

bool cPacketPrintButton::PrintOn(QPrinter &printer, const cReferralPacket &packet)
{
    if (cPacketPainter(packet).Paint(printer))
        return true;
    const std::string name = ToStd(printer.printerName());
    Host().MessageBox("The referral packet could not be printed" + (name.empty() ? "" : " on " + name) + ".",
                      Caption, cHostButtons::Ok);
    return false;
}
