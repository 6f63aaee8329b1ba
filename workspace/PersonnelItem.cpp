#include "workspace/PersonnelItem.h"

#include <cstdlib>

namespace
{
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

std::string PersonnelListText(const cPersonnelMember &member)
{
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

cPersonnelMember PersonnelMemberFromLines(const std::string &seq, const cStringList &lines)
{
    return PersonnelMemberFromRecord(seq, [&lines](const std::string &code)
                                     { return lines.Strings(std::atoi(code.c_str() + 1)); });
}
