// Number parsing and formatting with the toolkit's rules. Nothing here depends on the C locale:
// numbers are read and written with '.' as the decimal separator.
#include "toolkit/Numbers.h"

#include "toolkit/Chars.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

namespace
{
// A decimal number as the parsers below accept it: the grammar is checked here so that
// from_chars never sees anything it would read differently.
bool ValidFloatSyntax(std::string_view s)
{
    std::size_t p = 0;
    if (p < s.size() && (s[p] == '+' || s[p] == '-'))
        ++p;
    std::size_t intDigits = 0;
    while (p < s.size() && IsAsciiDigit(s[p]))
        ++p, ++intDigits;
    std::size_t fracDigits = 0;
    if (p < s.size() && s[p] == '.')
    {
        ++p;
        while (p < s.size() && IsAsciiDigit(s[p]))
            ++p, ++fracDigits;
    }
    if (intDigits + fracDigits == 0)
        return false;
    if (p < s.size() && (s[p] == 'e' || s[p] == 'E'))
    {
        ++p;
        if (p < s.size() && (s[p] == '+' || s[p] == '-'))
            ++p;
        std::size_t expDigits = 0;
        while (p < s.size() && IsAsciiDigit(s[p]))
            ++p, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return p == s.size();
}

// Decimal digits of |value| rounded to `decimals` places, half away from zero, taken from the
// value's 15 significant digits (so 0.15 rounds to 0.2 as the toolkit's extended arithmetic
// did). Returns the digits without a point and the number of integer digits.
std::string RoundedDigits(double value, int decimals, int &intDigits)
{
    value = std::fabs(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value); // d.dddddddddddddde[+-]XX
    std::string mantissa;
    for (const char *c = buf; *c && *c != 'e'; ++c)
        if (IsAsciiDigit(*c))
            mantissa += *c;
    const char *e = std::strchr(buf, 'e');
    int exponent = e ? std::atoi(e + 1) : 0;
    if (value == 0)
        exponent = 0;
    // Digits as an integer string with the point after (exponent + 1) digits.
    int pointPos = exponent + 1;
    if (pointPos < 0)
    {
        mantissa.insert(0, static_cast<std::size_t>(-pointPos), '0');
        pointPos = 0;
    }
    int keep = pointPos + decimals; // digits kept
    if (static_cast<int>(mantissa.size()) < keep)
        mantissa.append(static_cast<std::size_t>(keep - static_cast<int>(mantissa.size())), '0');
    bool roundUp = keep >= 0 && keep < static_cast<int>(mantissa.size()) &&
                   mantissa[static_cast<std::size_t>(keep)] >= '5';
    if (keep < 0)
    {
        mantissa.clear();
        keep = 0;
    }
    std::string digits = mantissa.substr(0, static_cast<std::size_t>(keep));
    if (roundUp)
    {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
            digits[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0)
            ++digits[static_cast<std::size_t>(i)];
        else
        {
            digits.insert(0, 1, '1');
            ++pointPos;
        }
    }
    // Make sure there is at least one integer digit position (possibly "0").
    if (pointPos <= 0)
    {
        digits.insert(0, static_cast<std::size_t>(1 - pointPos), '0');
        pointPos = 1;
    }
    intDigits = pointPos;
    return digits;
}

// A number pattern of FormatFloat: the text around the placeholders and what they ask for.
struct cFloatPattern
{
    std::string_view Prefix;
    std::string_view Suffix;
    int MinInt = 0;           // '0' placeholders before the point
    bool Thousands = false;   // a ',' before the point
    int RequiredDecimals = 0; // decimals up to the last '0' after the point
    int MaxDecimals = 0;      // '0' and '#' placeholders after the point
};

// False when the pattern has no placeholder at all.
bool ReadFloatPattern(std::string_view pattern, cFloatPattern &layout)
{
    const std::size_t first = pattern.find_first_of("0#.,");
    if (first == std::string_view::npos)
        return false;
    const std::size_t last = pattern.find_last_of("0#.,");
    layout.Prefix = pattern.substr(0, first);
    layout.Suffix = pattern.substr(last + 1);
    const std::string_view body = pattern.substr(first, last - first + 1);
    const std::size_t point = body.find('.');
    for (char c : body.substr(0, point))
    {
        if (c == '0')
            ++layout.MinInt;
        else if (c == ',')
            layout.Thousands = true;
    }
    if (point == std::string_view::npos)
        return true;
    for (char c : body.substr(point + 1))
    {
        if (c == '0')
            layout.RequiredDecimals = ++layout.MaxDecimals;
        else if (c == '#')
            ++layout.MaxDecimals;
    }
    return true;
}

// "1234567" -> "1,234,567".
std::string GroupThousands(const std::string &digits)
{
    if (digits.size() <= 3)
        return digits;
    std::size_t firstGroup = digits.size() % 3;
    if (firstGroup == 0)
        firstGroup = 3;
    std::string grouped = digits.substr(0, firstGroup);
    for (std::size_t i = firstGroup; i < digits.size(); i += 3)
    {
        grouped += ',';
        grouped += digits.substr(i, 3);
    }
    return grouped;
}
} // namespace

std::string FormatFloat(std::string_view pattern, double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    cFloatPattern layout;
    if (!ReadFloatPattern(pattern, layout))
        return std::string(pattern);

    int intDigits = 0;
    const std::string digits = RoundedDigits(value, layout.MaxDecimals, intDigits);
    std::string intPart = digits.substr(0, static_cast<std::size_t>(intDigits));
    std::string fracPart = digits.substr(static_cast<std::size_t>(intDigits));
    // Leading zeros beyond the pattern's required digits go.
    std::size_t lead = 0;
    while (lead + 1 <= intPart.size() && intPart[lead] == '0' &&
           static_cast<int>(intPart.size() - lead) > layout.MinInt)
        ++lead;
    intPart.erase(0, lead);
    while (static_cast<int>(intPart.size()) < layout.MinInt)
        intPart.insert(0, 1, '0');
    while (static_cast<int>(fracPart.size()) > layout.RequiredDecimals && !fracPart.empty() &&
           fracPart.back() == '0')
        fracPart.pop_back();
    if (layout.Thousands)
        intPart = GroupThousands(intPart);

    std::string out(layout.Prefix);
    if (value < 0 && digits.find_first_not_of('0') != std::string::npos)
        out += '-';
    out += intPart;
    if (!fracPart.empty())
    {
        out += '.';
        out += fracPart;
    }
    out += layout.Suffix;
    return out;
}

bool TryStrToInt64(std::string_view text, long long &out)
{
    std::size_t p = 0;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        negative = text[p++] == '-';
    if (p == text.size())
        return false;
    unsigned long long magnitude = 0;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1ULL
                 : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
    for (; p < text.size(); ++p)
    {
        if (!IsAsciiDigit(text[p]))
            return false;
        const unsigned d = static_cast<unsigned>(text[p] - '0');
        if (magnitude > (limit - d) / 10)
            return false;
        magnitude = magnitude * 10 + d;
    }
    if (negative)
        out = magnitude == limit ? std::numeric_limits<long long>::min() : -static_cast<long long>(magnitude);
    else
        out = static_cast<long long>(magnitude);
    return true;
}

bool TryStrToInt(std::string_view text, int &out)
{
    long long v = 0;
    if (!TryStrToInt64(text, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(v);
    return true;
}

int StrToIntDef(std::string_view text, int def)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : def;
}

long long StrToInt64Def(std::string_view text, long long def)
{
    long long v = 0;
    return TryStrToInt64(text, v) ? v : def;
}

bool TryStrToFloat(std::string_view text, double &out)
{
    if (!ValidFloatSyntax(text))
        return false;
    if (text.front() == '+')
        text.remove_prefix(1);
    double v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

double StrToFloatDef(std::string_view text, double def)
{
    double v = 0;
    return TryStrToFloat(text, v) ? v : def;
}

std::string IntToStr(long long value)
{
    return std::to_string(value);
}

std::string FloatToStr(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0)
        return "0";
    // Shortest digits that read back, then laid out as the toolkit's general format: plain
    // notation unless the exponent is below -5 or at least 15 ("1E20", "1E-7").
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    std::size_t ePos = sci.find('e');
    int exponent = std::atoi(sci.c_str() + ePos + 1);
    std::string mantissa = sci.substr(0, ePos);
    bool negative = false;
    if (!mantissa.empty() && mantissa[0] == '-')
    {
        negative = true;
        mantissa.erase(0, 1);
    }
    std::string digits;
    for (char c : mantissa)
        if (IsAsciiDigit(c))
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5)
    {
        out += digits[0];
        if (digits.size() > 1)
        {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent < 0)
    {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits)
    {
        out += digits;
        out.append(intDigits - digits.size(), '0');
        return out;
    }
    out.append(digits, 0, intDigits);
    out += '.';
    out.append(digits, intDigits, std::string::npos);
    return out;
}
