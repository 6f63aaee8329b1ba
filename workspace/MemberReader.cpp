#include "workspace/MemberReader.h"

#include "toolkit/StringList.h"
#include "json/cJSON.h"

#include <vector>

void ReadMembers(const cJSON *object, const cMemberTarget *targets, int count)
{
    for (int t = 0; t < count; ++t)
        targets[t].Target->clear();
    if (!object)
        return;
    // Names are unique without regard to case within one object, so the first match is the only one.
    const cJSONItems &items = object->Items();
    for (int i = 0; i < items.Count(); ++i)
    {
        const std::string &name = items.Names(i);
        for (int t = 0; t < count; ++t)
            if (name.size() == std::char_traits<char>::length(targets[t].Name) &&
                cStringList::CompareText(name, targets[t].Name) == 0)
            {
                const std::string &value = items.ValueFromIndex(i);
                if (value != "null")
                    *targets[t].Target = value;
                break;
            }
    }
}
