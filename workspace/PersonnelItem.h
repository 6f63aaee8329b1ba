// The provider's personnel as the " Personnel " page keeps them: one member per list line, the
// lines a save writes, and what a save must refuse.
#pragma once

#include "toolkit/DateTime.h"
#include "toolkit/StringList.h"

#include <functional>
#include <string>

// One member: the record key and the fields the page shows and edits. A mark is "Y" when set
// and empty when not.
struct cPersonnelMember
{
    std::string Seq;    // record key
    std::string FName;  // f11
    std::string LName;  // f13
    std::string Phone;  // f19
    std::string Email;  // f22
    std::string PW;     // f23
    std::string Admin;  // f26
    std::string Notify; // f29
    std::string SMS;    // f30
    std::string Pri;    // f31

    bool operator==(const cPersonnelMember &) const = default;
};

// The fields the personnel list asks for, in the order of the batch query.
inline constexpr const char *PersonnelListFields = "f11,f13,f19,f22,f23,f26,f29,f30,f31";
// The personnel list shows the first batch only.
inline constexpr int PersonnelListLimit = 100;

// A member from a record of the personnel list: its key and field(code) for each field code.
cPersonnelMember PersonnelMemberFromRecord(const std::string &seq,
                                           const std::function<std::string(const std::string &code)> &field);

// A member from a whole-record read of "Personnel" (line n holds field n).
cPersonnelMember PersonnelMemberFromLines(const std::string &seq, const cStringList &lines);

// What the list shows of a member: first name, one blank, last name.
std::string PersonnelListText(const cPersonnelMember &member);

// The lines a save writes, in this order: f11, f13, f19, f22, f23, f30, f26, f29, f31. Empty
// values stay as lines ending with "=", so emptied fields are cleared; a set mark is "Y".
cStringList PersonnelSaveLines(const cPersonnelMember &member);
// The creation time of a new record: yyyymmddhhnnss of the local time.
std::string PersonnelCreationStamp(cDateTime when);

// Why a save must not go ahead, or empty when it may. A member needs a first or a last name.
// A password may not be left empty for a new member, nor emptied for one who had one: the
// account could be signed into without it.
struct cPersonnelRefusal
{
    std::string Text;
    std::string Caption;
    bool Refused() const { return !Text.empty(); }
};
cPersonnelRefusal PersonnelSaveRefusal(const cPersonnelMember &member, bool adding, bool hadPassword);
