#include "workspace/PersonnelItem.h"

namespace
{
struct cItemName
{
    const char *Name;
    std::string cPersonnelMember::*Value;
};

// The item's names in the order they are written.
constexpr cItemName ItemNames[] = {
    {"Seq", &cPersonnelMember::Seq},     {"FName", &cPersonnelMember::FName},
    {"LName", &cPersonnelMember::LName}, {"Phone", &cPersonnelMember::Phone},
    {"Email", &cPersonnelMember::Email}, {"PW", &cPersonnelMember::PW},
    {"Admin", &cPersonnelMember::Admin}, {"Notify", &cPersonnelMember::Notify},
    {"SMS", &cPersonnelMember::SMS},     {"Pri", &cPersonnelMember::Pri},
};

struct cSaveField
{
    const char *Code;
    std::string cPersonnelMember::*Value;
};

// The fields a save writes, in the order they are written.
constexpr cSaveField SaveFields[] = {
    {"f11", &cPersonnelMember::FName}, {"f13", &cPersonnelMember::LName},  {"f19", &cPersonnelMember::Phone},
    {"f22", &cPersonnelMember::Email}, {"f23", &cPersonnelMember::PW},     {"f30", &cPersonnelMember::SMS},
    {"f26", &cPersonnelMember::Admin}, {"f29", &cPersonnelMember::Notify}, {"f31", &cPersonnelMember::Pri},
};
} // namespace

cPersonnelMember PersonnelMemberFromRecord(const std::string &seq,
                                           const std::function<std::string(const std::string &code)> &field)
{
    cPersonnelMember member;
    member.Seq = seq;
    for (const cSaveField &code : SaveFields)
        member.*code.Value = field(code.Code);
    return member;
}

std::string PersonnelItemText(const cPersonnelMember &member)
{
    cStringList list;
    for (const cItemName &name : ItemNames)
        list.SetValues(name.Name, member.*name.Value);
    return list.CommaText();
}

cPersonnelMember PersonnelItemMember(std::string_view itemText)
{
    cStringList list;
    list.SetCommaText(itemText);
    cPersonnelMember member;
    for (const cItemName &name : ItemNames)
        member.*name.Value = list.Values(name.Name);
    return member;
}

std::string PersonnelItemName(std::string_view itemText)
{
    const cPersonnelMember member = PersonnelItemMember(itemText);
    return member.FName + " " + member.LName;
}

cStringList PersonnelSaveLines(const cPersonnelMember &member)
{
    cStringList lines;
    for (const cSaveField &field : SaveFields)
        lines.Add(std::string(field.Code) + "=" + member.*field.Value);
    return lines;
}

std::string PersonnelCreationStamp(cDateTime when)
{
    return FormatDateTime("yyyymmddhhnnss", when);
}

cPersonnelRefusal PersonnelSaveRefusal(const cPersonnelMember &member, bool adding, bool hadPassword)
{
    if (member.FName.empty() && member.LName.empty())
        return {"Not a valid name", "Error"};
    if (member.PW.empty() && (adding || hadPassword))
        return {"Please enter a password for this member.", "Error"};
    return {};
}
