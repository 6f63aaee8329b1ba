// What the workspace reads of the signed-in user's "Personnel" record, and the one password check
// that the sign-in and the unlock of the idle lock share.
#pragma once

#include "toolkit/StringList.h"

#include <string>
#include <string_view>

struct cSignedInUser
{
    std::string Key;         // line 1: written into every quote answer as the responding user
    std::string ProviderKey; // line 9: owner key of every provider-side request
    bool IsAdmin = false;    // line 26, upper-cased, is "Y"
    std::string NameText;    // "User: " with lines 10, 11 and 13 joined by single blanks
    std::string Name;        // lines 10, 11 and 13 joined by single blanks, empty ones left out
};

cSignedInUser SignedInUser(const cStringList &record);

// True when typed is the record's password (line 23). An empty password is refused whatever the
// record holds, and so is a record too short to hold one.
bool PasswordAccepted(const cStringList &record, std::string_view typed);
