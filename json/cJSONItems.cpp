// cJSONItems: the member list of a cJSON, in insertion order, with a case-insensitive name index
// built once an object has more than a few members. Removed members stay as dead slots until
// the next compaction, so that removing costs no shifting and indexes stay valid meanwhile.
#include "json/cJSON.h"
#include "json/cJSONScan.h"

using json_internal::LowerKey;
using json_internal::SameText;

cJSONItems::~cJSONItems() = default;

void cJSONItems::Compact() const
{
    if (Dead == 0)
        return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < Slots.size(); ++i)
    {
        if (Slots[i].Alive)
        {
            if (out != i)
                Slots[out] = std::move(Slots[i]);
            ++out;
        }
    }
    Slots.resize(out);
    Dead = 0;
    if (Indexed)
    {
        Indexed = false;
        BuildIndex();
    }
}

void cJSONItems::BuildIndex() const
{
    if (!ByName)
        ByName = std::make_unique<std::unordered_map<std::string, std::size_t>>();
    ByName->clear();
    ByName->reserve(Slots.size());
    for (std::size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].Alive && Slots[i].Named)
            ByName->emplace(LowerKey(Slots[i].Name), i);
    Indexed = true;
}

const std::string &cJSONItems::Empty()
{
    static const std::string empty;
    return empty;
}

std::string cJSONItems::Strings(int i) const
{
    const cMember *m = At(i);
    if (!m)
        return {};
    if (!m->Named)
        return m->Value; // an array line
    return m->Name + "=" + m->Value;
}

int cJSONItems::Kind(int i) const
{
    const cMember *m = At(i);
    return m ? m->Kind : JsonNull;
}

cJSON *cJSONItems::Object(int i) const
{
    const cMember *m = At(i);
    return m ? m->Child.get() : nullptr;
}

int cJSONItems::IndexOfName(std::string_view name) const
{
    Compact();
    const std::size_t slot = Find(name);
    return slot == None ? -1 : static_cast<int>(slot);
}

std::string cJSONItems::Values(std::string_view name) const
{
    const std::size_t slot = Find(name);
    return slot == None ? std::string() : Slots[slot].Value;
}

std::size_t cJSONItems::Find(std::string_view name) const
{
    return Find(name, Indexed || Slots.size() > 32 ? 0 : NameBit(name));
}

std::size_t cJSONItems::Find(std::string_view name, std::uint64_t bit) const
{
    if (Indexed)
    {
        auto it = ByName->find(LowerKey(name));
        return it == ByName->end() ? None : it->second;
    }
    if (Slots.size() > 32)
    {
        BuildIndex();
        return Find(name, 0);
    }
    if (!(NameBits & bit))
        return None;
    for (std::size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].Alive && Slots[i].Named && SameText(Slots[i].Name, name))
            return i;
    return None;
}

std::size_t cJSONItems::Append(std::string_view name, bool named)
{
    return Append(name, named, named ? NameBit(name) : 0);
}

std::size_t cJSONItems::Append(std::string_view name, bool named, std::uint64_t bit)
{
    const std::size_t slot = Slots.size();
    Slots.emplace_back(name, named);
    ++Live;
    NameBits |= bit;
    if (named && Indexed)
        ByName->emplace(LowerKey(name), slot);
    return slot;
}

void cJSONItems::Remove(std::size_t slot)
{
    cMember &m = Slots[slot];
    if (!m.Alive)
        return;
    if (m.Named && Indexed)
        ByName->erase(LowerKey(m.Name));
    m.Alive = false;
    m.Child.reset(); // destroys the child
    m.Name.clear();
    m.Name.shrink_to_fit();
    m.Value.clear();
    m.Value.shrink_to_fit();
    --Live;
    ++Dead;
    if (Dead > 32 && Dead > Live)
        Compact();
}

void cJSONItems::Clear()
{
    ByName.reset();
    Indexed = false;
    NameBits = 0;
    Slots.clear();
    Live = 0;
    Dead = 0;
}
