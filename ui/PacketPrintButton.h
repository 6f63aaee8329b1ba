// "Print..." of the two case pages: makes the referral packet of the case that the page shows and
// sends it to a printer chosen in the system's print dialog, or, when the dialog's choice is a
// PDF file, writes that file (under a temporary name beside it, then renamed, so a failed write
// leaves no file and an older file untouched). Failures are reported in a message box.
#pragma once

#include "workspace/ReferralPacket.h"

#include <QPushButton>
#include <functional>
#include <string>

class QPrinter;
class cSession;

class cPacketPrintButton : public QPushButton
{
    Q_OBJECT

public:
    // content: what the page shows of its case; the provider's name, the signed-in user and the
    // date are added here.
    cPacketPrintButton(const char *objectName, cSession &session, std::function<cPacketContent()> content,
                       QWidget *parent);

    // Replaces the print dialog: it sets the printer up (a printer, or PDF output with a file
    // name) and answers false when the user cancelled.
    void SetPrinterAsker(std::function<bool(QPrinter &)> ask) { AskPrinter = std::move(ask); }

    void PrintButtonClick();
    // The packet of the shown case as it would be printed now.
    cReferralPacket Packet() const;
    // Writes the packet as a PDF file; a failure is reported and leaves no file.
    bool WritePdf(const cReferralPacket &packet, const std::string &path);

private:
    bool AskForPrinter(QPrinter &printer);
    bool PrintOn(QPrinter &printer, const cReferralPacket &packet);

    cSession &Session;
    std::function<cPacketContent()> Content;
    std::function<bool(QPrinter &)> AskPrinter;
};
