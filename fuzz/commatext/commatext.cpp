// Fuzz target for the toolkit's text parsers: comma-text, the text form, name=value lookups,
// sorted lists, the ini reader and the number and date parsers. Invariants checked:
//   - SetCommaText(CommaText()) of a list read from any text gives the same items;
//   - SetText(Text()) of a list read from any text gives the same lines;
//   - the static parsers agree with the list;
//   - a sorted list read from the text is in order and finds each of its items;
//   - the first line of each name is the one IndexOfName finds.
#include "toolkit/DateTime.h"
#include "toolkit/IniFile.h"
#include "toolkit/StringList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{
void Check(bool ok)
{
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    // Comma-text.
    cStringList list;
    list.SetCommaText(text);
    Check(list.ToVector() == cStringList::ParseCommaText(text));
    cStringList again;
    again.SetCommaText(list.CommaText());
    Check(again.ToVector() == list.ToVector());

    // Text form.
    cStringList lines;
    lines.SetText(text);
    Check(lines.ToVector() == cStringList::ParseText(text));
    cStringList linesAgain;
    linesAgain.SetText(lines.Text());
    Check(linesAgain.ToVector() == lines.ToVector());

    // Sorted.
    cStringList sorted;
    sorted.SetSorted(true);
    sorted.SetCommaText(text);
    for (int i = 1; i < sorted.Count(); ++i)
        Check(cStringList::CompareText(sorted[i - 1], sorted[i]) < 0);
    for (int i = 0; i < sorted.Count() && i < 64; ++i)
    {
        int index = -1;
        Check(sorted.Find(sorted[i], index) && index == i);
    }

    // name=value.
    for (int i = 0; i < list.Count() && i < 64; ++i)
    {
        if (list[i].find('=') == std::string::npos)
            continue;
        const std::string name = list.Names(i);
        const int first = list.IndexOfName(name);
        Check(first >= 0 && first <= i);
        Check(list.Values(name) == list.ValueFromIndex(first));
    }
    cStringList edited;
    edited.Assign(list);
    edited.SetValues("Error", "");
    edited.SetValues("Seq", "7");
    Check(edited.Values("seq") == "7");

    // The ini reader, with a section and key taken from the input when it has them.
    const std::string section = list.Count() > 0 ? list[0] : std::string("DataServer");
    const std::string key = list.Count() > 1 ? list[1] : std::string("IP");
    (void)cIniFile::ReadStringFromText(text, section, key, "default");
    (void)cIniFile::ReadStringFromText(text, "DataServer", "IP", "default");

    // Numbers and dates.
    (void)StrToIntDef(text, 0);
    (void)StrToInt64Def(text, 0);
    double value = StrToFloatDef(text, 0);
    double back = 0;
    Check(TryStrToFloat(FloatToStr(value), back) && back == value);
    cDateTime date = 0;
    if (TryStrToDate(text, date))
        (void)FormatDateTime("yyyymmddhhnnss", date);
    if (size < 4096)
    {
        (void)FormatDateTime(text, 45000.5);
        (void)FormatFloat(text, value);
    }
    return 0;
}
