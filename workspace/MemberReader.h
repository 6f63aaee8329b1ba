// Reads a fixed set of members of one reply object in a single pass over its members, instead of
// one lookup per code (a lookup would build a name index for every small object of a large reply).
#pragma once

#include <string>
#include <string_view>

class cJSON;

struct cMemberTarget
{
    std::string_view Name; // matched without regard to letter case, as a lookup would
    std::string *Target;   // receives the value text; "" for null, as GetValue gives
};

// Sets every target from the member of its name; targets whose member is missing become "".
// A null object empties every target.
template <int N> void ReadMembers(const cJSON *object, const cMemberTarget (&targets)[N]);

void ReadMembers(const cJSON *object, const cMemberTarget *targets, int count);

// As ReadMembers, but moves the texts out of the object instead of copying them: the members that
// were read are left with empty texts. For a reply tree that is dropped after reading.
template <int N> void TakeMembers(cJSON *object, const cMemberTarget (&targets)[N]);

void TakeMembers(cJSON *object, const cMemberTarget *targets, int count);

template <int N> void ReadMembers(const cJSON *object, const cMemberTarget (&targets)[N])
{
    ReadMembers(object, targets, N);
}

template <int N> void TakeMembers(cJSON *object, const cMemberTarget (&targets)[N])
{
    TakeMembers(object, targets, N);
}
