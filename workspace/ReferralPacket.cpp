#include "workspace/ReferralPacket.h"

#include "workspace/HealthDetailGroups.h"
#include "json/cJSON.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace
{
using enum cPacketBlockKind;

// Longest row number read from a "Line<n>" name; longer numbers are not rows.
constexpr std::size_t MaxRowDigits = 6;

std::string TrimmedField(std::string_view text)
{
    return std::string(cJSON::Trim(text));
}

std::string Lf(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

cPacketBlock Heading(cPacketBlockKind kind, std::string caption)
{
    cPacketBlock block;
    block.Kind = kind;
    block.Caption = std::move(caption);
    return block;
}

cPacketBlock FieldBlock(std::string caption, std::string value)
{
    cPacketBlock block = Heading(cPacketBlockKind::Field, std::move(caption));
    block.Text = std::move(value);
    return block;
}

cPacketBlock Paragraph(std::string text)
{
    cPacketBlock block;
    block.Kind = cPacketBlockKind::Text;
    block.Text = std::move(text);
    return block;
}

cPacketBlock CodeTable(const std::vector<cCodeItem> &codes)
{
    cPacketBlock block;
    block.Kind = cPacketBlockKind::Table;
    block.Columns = {"Code", "Description"};
    for (const cCodeItem &code : codes)
        block.Rows.push_back({code.Code, code.Description});
    return block;
}

// The child object of a member, or null when it is missing or not an object.
const cJSON *ChildObject(const cJSON *parent, std::string_view name)
{
    if (!parent)
        return nullptr;
    const cJSONItems &items = parent->Items();
    const int i = items.IndexOfName(name);
    if (i < 0 || items.Kind(i) != JsonObject)
        return nullptr;
    return items.Object(i);
}

// The row number of a grid member named "Line<n>" (letter case ignored, n without leading zeros,
// as the view looks its rows up), or 0.
int RowNumber(const std::string &name)
{
    if (name.size() <= 4 || name.size() > 4 + MaxRowDigits || name[4] == '0')
        return 0;
    for (std::size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != "line"[i])
            return 0;
    int number = 0;
    for (std::size_t i = 4; i < name.size(); ++i)
    {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// The prescriptions as a table: the grid's columns, one row per "Line<n>" object with a filled
// cell, by row number.
cPacketBlock PrescriptionTable(const cJSON *grid)
{
    cPacketBlock block;
    block.Kind = cPacketBlockKind::Table;
    const auto &columns = PrescriptionColumns();
    for (const cPrescriptionColumn &column : columns)
        block.Columns.emplace_back(column.Header);
    if (!grid)
        return block;
    std::map<int, std::vector<std::string>> rows;
    const cJSONItems &items = grid->Items();
    for (int i = 0; i < items.Count(); ++i)
    {
        const int number = RowNumber(items.Names(i));
        if (number <= 0 || rows.contains(number))
            continue;
        std::vector<std::string> row{std::to_string(number)};
        bool filled = false;
        const cJSON *line = items.Kind(i) == JsonObject ? items.Object(i) : nullptr;
        for (std::size_t c = 1; c < columns.size(); ++c)
        {
            row.push_back(line ? line->GetValue("Col" + std::to_string(c)) : std::string());
            filled = filled || !row.back().empty();
        }
        rows.emplace(number, filled ? std::move(row) : std::vector<std::string>());
    }
    for (auto &[number, row] : rows)
        if (!row.empty())
            block.Rows.push_back(std::move(row));
    return block;
}

// The name of the group's radio button that the view shows ticked: the last one given "Y".
std::string_view TickedRadio(const cHealthGroup &group, const cJSON *items)
{
    std::string_view ticked;
    for (const cHealthItem &item : group.Items)
        if (item.Kind == cHealthItemKind::RadioButton)
            if (const cJSON *value = ChildObject(items, item.Name);
                value && TrimmedField(value->GetValue("Data")) == "Y")
                ticked = item.Name;
    return ticked;
}

void AddGroup(const cHealthGroup &group, const cJSON *details, std::vector<cPacketBlock> &blocks)
{
    blocks.push_back(Heading(Group, TrimmedField(group.Caption)));
    const cJSON *items = ChildObject(ChildObject(details, group.Name), "Details");
    const std::string_view radio = TickedRadio(group, items);
    // The line of boxes that the next box joins (none after another item).
    std::size_t options = blocks.size();
    for (const cHealthItem &item : group.Items)
    {
        const cJSON *value = ChildObject(items, item.Name);
        const std::string data = value ? value->GetValue("Data") : std::string();
        const std::string caption = TrimmedField(item.Caption);
        switch (item.Kind)
        {
        case cHealthItemKind::CheckBox:
        case cHealthItemKind::RadioButton:
        case cHealthItemKind::Label:
        {
            if (options == blocks.size())
            {
                options = blocks.size();
                blocks.push_back(Heading(Options, ""));
            }
            const bool ticked = item.Kind == cHealthItemKind::CheckBox      ? TrimmedField(data) == "Y"
                                : item.Kind == cHealthItemKind::RadioButton ? item.Name == radio
                                                                            : false;
            blocks[options].Options.push_back({caption, ticked, item.Kind != cHealthItemKind::Label});
            continue;
        }
        case cHealthItemKind::Edit:
            blocks.push_back(FieldBlock(caption, data));
            break;
        case cHealthItemKind::Memo:
            blocks.push_back(Paragraph(Lf(data)));
            break;
        case cHealthItemKind::Grid:
            blocks.push_back(PrescriptionTable(value));
            break;
        }
        options = blocks.size();
    }
}
} // namespace

cReferralPacket BuildReferralPacket(const cPacketContent &content)
{
    cReferralPacket packet;
    packet.Title = "Referral Packet";
    packet.HeaderLeft = content.ProviderName;
    packet.HeaderRight = "Case " + content.CaseNumber;
    packet.Footer = "Printed by " + content.PrintedBy + " on " + content.PrintedOn;
    std::vector<cPacketBlock> &blocks = packet.Blocks;
    blocks.push_back(Heading(Section, "Case"));
    for (const cPacketField &field : content.CaseFields)
        blocks.push_back(FieldBlock(field.Caption, field.Value));
    blocks.push_back(Heading(Section, "Patient Information"));
    for (const cPacketField &field : content.PatientFields)
        blocks.push_back(FieldBlock(field.Caption, field.Value));
    blocks.push_back(Heading(Section, "Diagnosis"));
    blocks.push_back(Paragraph(Lf(content.Diagnosis)));
    blocks.push_back(Heading(Section, "Diagnosis Codes"));
    blocks.push_back(CodeTable(content.DiagnosisCodes));
    blocks.push_back(Heading(Section, "Treatment Codes"));
    blocks.push_back(CodeTable(content.TreatmentCodes));
    blocks.push_back(Heading(Section, "Health Details"));
    const cJSON details(content.HealthDetails);
    for (const cHealthGroup &group : HealthDetailGroups())
        AddGroup(group, &details, blocks);
    return packet;
}

std::string PacketPageText(int page, int pages)
{
    return "Page " + std::to_string(page) + " of " + std::to_string(pages);
}
