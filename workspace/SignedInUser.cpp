#include "workspace/SignedInUser.h"

#include "workspace/RecordLines.h"

cSignedInUser SignedInUser(const cStringList &record)
{
    cSignedInUser user;
    user.Key = record.Strings(PersonnelKeyLine);
    user.ProviderKey = record.Strings(PersonnelProviderLine);
    user.IsAdmin = cStringList::CompareText(record.Strings(PersonnelAdminLine), "Y") == 0;
    user.NameText = "User: " + record.Strings(PersonnelTitleLine) + " " +
                    record.Strings(PersonnelFirstNameLine) + " " + record.Strings(PersonnelLastNameLine);
    for (int line : {PersonnelTitleLine, PersonnelFirstNameLine, PersonnelLastNameLine})
        if (const std::string part = record.Strings(line); !part.empty())
            user.Name += (user.Name.empty() ? "" : " ") + part;
    return user;
}

bool PasswordAccepted(const cStringList &record, std::string_view typed)
{
    return !typed.empty() && record.Count() > PersonnelPasswordLine &&
           record.Strings(PersonnelPasswordLine) == typed;
}
