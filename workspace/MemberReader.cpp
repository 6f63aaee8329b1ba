#include "workspace/MemberReader.h"

#include "json/cJSON.h"

namespace
{
// Names equal without regard to ASCII letter case (as cStringList::CompareText compares them).
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a == b)
        return true; // the server writes the names as they are asked for
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
        const char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 'a' + 'A') : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// Reads from object; with take set (the same object), moves the texts out instead of copying.
void Read(const cJSON *object, cJSON *take, const cMemberTarget *targets, int count)
{
    for (int t = 0; t < count; ++t)
        targets[t].Target->clear();
    if (!object)
        return;
    // Names are unique without regard to case within one object, so the first match is the only one.
    // The search for a member's target starts after the previous member's: when the targets are
    // listed in the order in which the server writes the members, that is the first one tried.
    const cJSONItems &items = object->Items();
    int next = 0;
    for (int i = 0; i < items.Count(); ++i)
    {
        const std::string &name = items.Names(i);
        for (int k = 0; k < count; ++k)
            if (const int t = (next + k) % count; SameName(name, targets[t].Name))
            {
                next = t + 1;
                const std::string &value = items.ValueFromIndex(i);
                if (value != "null")
                {
                    if (take)
                        *targets[t].Target = take->TakeValueFromIndex(i);
                    else
                        *targets[t].Target = value;
                }
                break;
            }
    }
}
} // namespace

void ReadMembers(const cJSON *object, const cMemberTarget *targets, int count)
{
    Read(object, nullptr, targets, count);
}

void TakeMembers(cJSON *object, const cMemberTarget *targets, int count)
{
    Read(object, object, targets, count);
}
