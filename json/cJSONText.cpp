// cJSON's static text helpers: trimming, escaping and unescaping, unquoting and quoting names,
// splitting at top-level commas and the number test. The tree's reading and writing call the
// inline forms in cJSONScan.h where they sit in hot loops; these are the public entry points.
#include "json/cJSON.h"
#include "json/cJSONScan.h"

#include <cstdint>

using json_internal::EscapeTo;
using json_internal::FindUntil;
using json_internal::ForEachTopLevel;
using json_internal::NameView;
using json_internal::QuoteNameTo;
using json_internal::UnescapeTo;

std::string_view cJSON::Trim(std::string_view text)
{
    return json_internal::Trim(text);
}

std::string cJSON::EscapeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    EscapeTo(text, out);
    return out;
}

std::string cJSON::UnescapeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    UnescapeTo(text, out);
    return out;
}

std::string cJSON::Unquote(std::string_view name)
{
    std::string buffer;
    return std::string(NameView(name, buffer));
}

std::string cJSON::QuoteName(std::string_view name)
{
    std::string out;
    QuoteNameTo(name, out);
    return out;
}

std::string_view cJSON::StripEnclosing(std::string_view text, bool &isObject)
{
    std::string_view t = Trim(text);
    isObject = t.empty() || t.front() != '[';
    if (t.size() <= 2)
        return {};
    return t.substr(1, t.size() - 2);
}

std::vector<std::string> cJSON::SplitTopLevel(std::string_view text)
{
    std::vector<std::string> items;
    ForEachTopLevel(text, [&](std::string_view item) { items.emplace_back(item); });
    return items;
}

std::string cJSON::ExtractUntil(std::string &text, std::string_view stopCharacters)
{
    const std::size_t stop = FindUntil(text, stopCharacters);
    if (stop == std::string::npos)
    {
        std::string result(Trim(text));
        text.clear();
        return result;
    }
    std::string result(Trim(std::string_view(text).substr(0, stop)));
    text.erase(0, stop);
    return result;
}

bool cJSON::IsNumber(std::string_view text)
{
    // [+|-] digits [. digits] [(e|E) [+|-] digits], at least one mantissa digit, nothing else.
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::int64_t intDigits = 0;        // significant integer digits (after leading zeros)
    std::int64_t leadingFracZeros = 0; // zeros after the point before the first non-zero digit
    bool anyDigit = false;
    bool nonZero = false;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
    {
        anyDigit = true;
        if (text[i] != '0')
            nonZero = true;
        if (nonZero)
            ++intDigits;
    }
    if (i < n && text[i] == '.')
    {
        ++i;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        {
            anyDigit = true;
            if (text[i] != '0')
                nonZero = true;
            else if (!nonZero)
                ++leadingFracZeros;
        }
    }
    if (!anyDigit)
        return false;
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E'))
    {
        ++i;
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i == n || text[i] < '0' || text[i] > '9')
            return false;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
            if (exponent < 1000000)
                exponent = exponent * 10 + (text[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    if (i != n || !nonZero)
        return false;
    // Decimal exponent of the leading digit; outside the range of the extended type the
    // conversion overflows (no number) or underflows to 0 (no number either).
    const std::int64_t magnitude = (intDigits > 0 ? intDigits - 1 : -(leadingFracZeros + 1)) + exponent;
    return magnitude <= 4932 && magnitude >= -4951;
}
