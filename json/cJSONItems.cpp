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
    ByName.clear();
    ByName.reserve(Slots.size());
    for (std::size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].Alive && Slots[i].Named)
            ByName.emplace(LowerKey(Slots[i].Name), i);
    Indexed = true;
}

const cJSONItems::cMember *cJSONItems::At(int i) const
{
    Compact();
    if (i < 0 || static_cast<std::size_t>(i) >= Slots.size())
        return nullptr;
    return &Slots[static_cast<std::size_t>(i)];
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

const std::string &cJSONItems::Names(int i) const
{
    static const std::string empty;
    const cMember *m = At(i);
    return m ? m->Name : empty;
}

const std::string &cJSONItems::ValueFromIndex(int i) const
{
    static const std::string empty;
    const cMember *m = At(i);
    return m ? m->Value : empty;
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

std::uint64_t cJSONItems::NameBit(std::string_view name)
{
    std::uint32_t h = static_cast<std::uint32_t>(name.size());
    for (const char c : name)
        h = h * 31 + static_cast<unsigned char>(json_internal::Lower(c));
    return std::uint64_t{1} << ((h ^ (h >> 6) ^ (h >> 12)) & 63);
}

std::size_t cJSONItems::Find(std::string_view name) const
{
    if (Indexed)
    {
        auto it = ByName.find(LowerKey(name));
        return it == ByName.end() ? None : it->second;
    }
    if (Slots.size() > 32)
    {
        BuildIndex();
        return Find(name);
    }
    if (!(NameBits & NameBit(name)))
        return None;
    for (std::size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].Alive && Slots[i].Named && SameText(Slots[i].Name, name))
            return i;
    return None;
}

std::size_t cJSONItems::Append(std::string_view name, bool named)
{
    const std::size_t slot = Slots.size();
    Slots.emplace_back();
    cMember &m = Slots.back();
    m.Name.assign(name);
    m.Named = named;
    ++Live;
    if (named)
        NameBits |= NameBit(name);
    if (named && Indexed)
        ByName.emplace(LowerKey(name), slot);
    return slot;
}

void cJSONItems::Remove(std::size_t slot)
{
    cMember &m = Slots[slot];
    if (!m.Alive)
        return;
    if (m.Named && Indexed)
        ByName.erase(LowerKey(m.Name));
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
    ByName.clear();
    Indexed = false;
    NameBits = 0;
    Slots.clear();
    Live = 0;
    Dead = 0;
}
