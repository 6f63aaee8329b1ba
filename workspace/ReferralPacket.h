// The referral packet of a case as a document: what a case page shows of the case (its fields, the
// patient block, the diagnosis and the code lists), then every group of the health details in
// full, in the order of the health detail view, with the prescriptions grid as a table. The
// widgets lay it out on paper; nothing here knows about pages or fonts.
#pragma once

#include "workspace/CaseTexts.h"

#include <string>
#include <vector>

// A caption and the value that a page shows beside it.
struct cPacketField
{
    std::string Caption;
    std::string Value;
};

// What a case page shows of its case and what it read for it.
struct cPacketContent
{
    std::string ProviderName; // the header of every page
    std::string CaseNumber;
    std::string PrintedBy; // the signed-in user's name
    std::string PrintedOn; // the date in display form
    // The case box and the patient block, in the page's order.
    std::vector<cPacketField> CaseFields;
    std::vector<cPacketField> PatientFields;
    std::string Diagnosis;
    std::vector<cCodeItem> DiagnosisCodes;
    std::vector<cCodeItem> TreatmentCodes;
    // The health details JSON text as the page read it.
    std::string HealthDetails;
};

// One entry of a line of boxes: a check box or radio button with its caption, or a caption alone
// (Box false) as the view shows before some boxes.
struct cPacketOption
{
    std::string Caption;
    bool Ticked = false;
    bool Box = true;
};

enum class cPacketBlockKind
{
    Section, // a heading of the packet (Caption)
    Group,   // the heading of a health detail group (Caption)
    Field,   // Caption and the value in Text
    Text,    // a paragraph, lines split by LF
    Options, // a line of boxes, wrapped as the width needs
    Table    // Columns and Rows (each row one cell per column); a row is never split
};

struct cPacketBlock
{
    cPacketBlockKind Kind = cPacketBlockKind::Text;
    std::string Caption;
    std::string Text;
    std::vector<cPacketOption> Options;
    std::vector<std::string> Columns;
    std::vector<std::vector<std::string>> Rows;
};

struct cReferralPacket
{
    std::string Title;       // "Referral Packet"
    std::string HeaderLeft;  // the provider's name
    std::string HeaderRight; // "Case " and the case number
    std::string Footer;      // "Printed by <user> on <date>"
    std::vector<cPacketBlock> Blocks;
};

// The packet: the case fields, the patient block, the diagnosis, the diagnosis and treatment codes
// (tables of code and description), and the nineteen health detail groups. A group shows each of
// its items as the health detail view does: boxes ticked when their "Data" trimmed is "Y" (of a
// group's radio buttons only the last so given), edits and memos with their text (CR LF read as
// LF), and the prescriptions as a table of the grid's columns with one row per filled "Line<n>",
// by row number (also rows beyond the twenty of the view's grid). A group missing from the text,
// or one that is not an object or has no "Details" object, shows its items empty.
cReferralPacket BuildReferralPacket(const cPacketContent &content);

// The page number line of the footer.
std::string PacketPageText(int page, int pages);
