// The referral packet as a document: the case page's fields in their order, the code tables, and
// the nineteen health detail groups read from the JSON text by the health detail view's rules.
#include "workspace/ReferralPacket.h"
#include "workspace/HealthDetailGroups.h"

#include <gtest/gtest.h>

namespace
{
using Lines = std::vector<std::string>;

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

// A block as one line: its kind, caption and contents ("[x]" a ticked box, "[ ]" an empty one,
// table rows as cells joined by "|").
std::string Describe(const cPacketBlock &block)
{
    switch (block.Kind)
    {
    case cPacketBlockKind::Section:
        return "section " + block.Caption;
    case cPacketBlockKind::Group:
        return "group " + block.Caption;
    case cPacketBlockKind::Field:
        return "field " + block.Caption + "=" + block.Text;
    case cPacketBlockKind::Text:
        return "text " + block.Text;
    case cPacketBlockKind::Options:
    {
        std::string line = "options";
        for (const cPacketOption &option : block.Options)
            line += std::string(" ") + (option.Box ? option.Ticked ? "[x]" : "[ ]" : "") + option.Caption;
        return line;
    }
    case cPacketBlockKind::Table:
    {
        std::string line = "table";
        for (const std::string &column : block.Columns)
            line += " " + column;
        for (const auto &row : block.Rows)
        {
            line += " /";
            for (const std::string &cell : row)
                line += " " + cell + "|";
        }
        return line;
    }
    }
    return "?";
}

Lines Describe(const std::vector<cPacketBlock> &blocks, std::size_t from = 0, std::size_t count = 1000)
{
    Lines lines;
    for (std::size_t i = from; i < blocks.size() && i < from + count; ++i)
        lines.push_back(Describe(blocks[i]));
    return lines;
}

cReferralPacket PacketOf(const std::string &healthDetails)
{
    cPacketContent content;
    content.HealthDetails = healthDetails;
    return BuildReferralPacket(content);
}

// The blocks of one health detail group (its heading left out).
Lines GroupBlocks(const std::string &healthDetails, const std::string &caption)
{
    const cReferralPacket packet = PacketOf(healthDetails);
    for (std::size_t i = 0; i < packet.Blocks.size(); ++i)
        if (Describe(packet.Blocks[i]) == "group " + caption)
        {
            std::size_t end = i + 1;
            while (end < packet.Blocks.size() && packet.Blocks[end].Kind != cPacketBlockKind::Group)
                ++end;
            return Describe(packet.Blocks, i + 1, end - i - 1);
        }
    return {"no group " + caption};
}
} // namespace

TEST(ReferralPacket, CaseFieldsPatientDiagnosisAndCodesInThePagesOrder)
{
    cPacketContent content;
    content.ProviderName = "Bayview Care Center";
    content.CaseNumber = "C-7";
    content.PrintedBy = "Ms. Alice Morgan";
    content.PrintedOn = "06/15/2025";
    content.CaseFields = {{"Hospital", "St. Anne"}, {"Case Number", "C-7"}, {"Description", "two\nlines"}};
    content.PatientFields = {{"Age", "80.5"}, {"Gender", ""}};
    content.Diagnosis = "CHF\r\nafter fall";
    content.DiagnosisCodes = {{"I50.9", "Heart failure"}, {"R26", ""}};
    const cReferralPacket packet = BuildReferralPacket(content);
    EXPECT_EQ(packet.Title, "Referral Packet");
    EXPECT_EQ(packet.HeaderLeft, "Bayview Care Center");
    EXPECT_EQ(packet.HeaderRight, "Case C-7");
    EXPECT_EQ(packet.Footer, "Printed by Ms. Alice Morgan on 06/15/2025");
    EXPECT_EQ(Describe(packet.Blocks, 0, 14),
              (Lines{"section Case", "field Hospital=St. Anne", "field Case Number=C-7",
                     "field Description=two\nlines", "section Patient Information", "field Age=80.5",
                     "field Gender=", "section Diagnosis", "text CHF\nafter fall", "section Diagnosis Codes",
                     "table Code Description / I50.9| Heart failure| / R26| |", "section Treatment Codes",
                     "table Code Description", "section Health Details"}));
    EXPECT_EQ(PacketPageText(2, 5), "Page 2 of 5");
}

TEST(ReferralPacket, EveryGroupOfTheViewEvenWhenTheTextHoldsNone)
{
    Lines groups;
    for (const cHealthGroup &group : HealthDetailGroups())
        groups.push_back("group " + Trimmed(group.Caption));
    ASSERT_EQ(groups.size(), 19u);
    for (const std::string text : {"", "{x", "[1,2]", "{PrescriptionsGroupBox:7}", "not json at all"})
    {
        Lines shown;
        std::size_t boxes = 0, ticked = 0, edits = 0;
        for (const cPacketBlock &block : PacketOf(text).Blocks)
        {
            if (block.Kind == cPacketBlockKind::Group)
                shown.push_back(Describe(block));
            for (const cPacketOption &option : block.Options)
            {
                boxes += option.Box;
                ticked += option.Ticked;
            }
            if (block.Kind == cPacketBlockKind::Field)
                edits += block.Text.empty();
        }
        EXPECT_EQ(shown, groups) << text;
        EXPECT_EQ(ticked, 0u) << text;
        // Every box and edit of the view's table is there, empty.
        std::size_t tableBoxes = 0, tableEdits = 0;
        for (const cHealthGroup &group : HealthDetailGroups())
            for (const cHealthItem &item : group.Items)
            {
                tableBoxes +=
                    item.Kind == cHealthItemKind::CheckBox || item.Kind == cHealthItemKind::RadioButton;
                tableEdits += item.Kind == cHealthItemKind::Edit;
            }
        EXPECT_EQ(boxes, tableBoxes) << text;
        EXPECT_EQ(edits, tableEdits) << text;
    }
}

TEST(ReferralPacket, ItemsAreReadAsTheHealthDetailViewReadsThem)
{
    // Boxes tick on "Y" with blanks around only; the edit keeps its blanks; names ignore case.
    EXPECT_EQ(GroupBlocks("{skinconditiongroup:{Details:{SkinCondition1:{Data:' Y '},"
                          "SKINCONDITION2:{Data:y},SkinCondition3:{Data:Yes},SkinCondition4:{Data:1},"
                          "SkinConditionOther:{Data:' dry '},SkinNACheckBox:{Data:N}}}}",
                          "Skin Condition"),
              (Lines{"options [x]Clear [ ]Rash [ ]Skin Tears [ ]Bruises Easily [ ]Pressure sores",
                     "field Description= dry ", "options [ ]N/A"}));
    // Of two radio buttons given "Y" the later one in the group's order is the ticked one.
    EXPECT_EQ(GroupBlocks("{MobilityGroupBox:{Details:{Mobility3:{Data:Y},Mobility1:{Data:Y}}}}", "Mobility"),
              (Lines{"options [ ]N/A [ ]Ambulate w/Assist [ ]Chair w/Assist [x]Bedridden"}));
    // The hearing group's caption before its boxes; a memo's CR LF read as LF.
    EXPECT_EQ(GroupBlocks("{HearingGroup:{Details:{Hearing2:{Data:Y}}},"
                          "AllergiesGroupBox:{Details:{AllergiesMemo:{Data:'latex\\\r\\\nnuts'}}}}",
                          "Hearing")[0],
              "options Hearing Aid [ ]Left [x]Right [ ]Refuses Aids [ ]Partially Deaf [ ]Deaf [ ]N/A");
    EXPECT_EQ(
        GroupBlocks("{AllergiesGroupBox:{Details:{AllergiesMemo:{Data:'latex\\\r\\\nnuts'}}}}", "Allergies"),
        (Lines{"text latex\nnuts", "options [ ]N/A"}));
    // A group without "Details", or whose "Details" is not an object, shows its items empty;
    // so does an item that is not an object.
    for (const std::string text : {"{BowelGroup:{Bowel1:{Data:Y}}}", "{BowelGroup:{Details:[1]}}",
                                   "{BowelGroup:{Details:{Bowel1:Y,BowelOther:[x]}}}"})
        EXPECT_EQ(GroupBlocks(text, "Bowel"),
                  (Lines{"options [ ]N/A [ ]Continent [ ]Incontinent [ ]Occasional Incontinent [ ]Colostomy",
                         "field Other="}))
            << text;
}

TEST(ReferralPacket, PrescriptionsAreATableOfEveryFilledRowByNumber)
{
    // Rows by number, also beyond the twenty of the view's grid; empty rows, rows that are not
    // objects and names that are not "Line<n>" (a number with a leading zero included) are left
    // out; columns beyond the grid's seven are not shown.
    const std::string text = "{PrescriptionsGroupBox:{Details:{PrescriptionsStringGrid:{"
                             "Line3:{Col1:Warfarin,Col6:'06/30/2025',Col7:'20:00'},"
                             "Line25:{Col2:'5 mg',Col8:hidden},"
                             "Line1:{Col1:Apixaban,Col2:'5 mg',Col3:'Twice daily',Col4:Oral,Col5:AF},"
                             "Line2:{Col1:''},Line4:[1],Line:{Col1:x},LineX:{Col1:x},Line0:{Col1:x},"
                             "Line05:{Col1:x},Line1234567:{Col1:x}}}}}";
    EXPECT_EQ(GroupBlocks(text, "Prescriptions"),
              (Lines{"table # Name Dosage Schedule Route Indication Stop Last Given"
                     " / 1| Apixaban| 5 mg| Twice daily| Oral| AF| | |"
                     " / 3| Warfarin| | | | | 06/30/2025| 20:00|"
                     " / 25| | 5 mg| | | | | |",
                     "options [ ]N/A"}));
    EXPECT_EQ(
        GroupBlocks("{PrescriptionsGroupBox:{Details:{PrescriptionsNACheckBox:{Data:Y}}}}", "Prescriptions"),
        (Lines{"table # Name Dosage Schedule Route Indication Stop Last Given", "options [x]N/A"}));
}
