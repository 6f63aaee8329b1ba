// Date-time values as the form toolkit kept them (days since 1899-12-30, fraction = time of
// day), their formats, and the number helpers. Nothing here depends on the C locale: numbers
// are read and written with '.' as the decimal separator.
#include "toolkit/DateTime.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

namespace
{
constexpr long long MSecsPerDay = 86400000LL;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int &year, int &month, int &day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(y + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

const long long EpochOffset = DaysFromCivil(1899, 12, 30); // days from 1970-01-01 to 1899-12-30

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return days[month - 1];
}

bool ValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool ValidTime(int hour, int minute, int second, int millisecond)
{
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
           millisecond >= 0 && millisecond < 1000;
}

// Splits a value into whole days since 1899-12-30 and milliseconds of the day, as the toolkit's
// DateTimeToTimeStamp does: the day is the whole part, the time the absolute fraction.
void SplitValue(cDateTime value, long long &days, long long &msecs)
{
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
    {
        days = 0;
        msecs = 0;
        return;
    }
    if (value >= 0)
    {
        const long long total = std::llround(value * static_cast<double>(MSecsPerDay));
        days = total / MSecsPerDay;
        msecs = total % MSecsPerDay;
        return;
    }
    double whole = std::trunc(value);
    days = static_cast<long long>(whole);
    msecs = std::llround(std::fabs(value - whole) * static_cast<double>(MSecsPerDay));
    if (msecs >= MSecsPerDay)
    {
        msecs -= MSecsPerDay;
        days -= 1;
    }
}

void AppendPadded(std::string &out, long long value, int width)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    out += buf;
}

const char *const ShortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const LongMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
const char *const ShortDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char *const LongDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads 1..maxDigits decimal digits at text[p]; false when there is none.
bool ReadNumber(std::string_view text, std::size_t &p, int maxDigits, int &value, int &digits)
{
    value = 0;
    digits = 0;
    while (p < text.size() && IsDigit(text[p]) && digits < maxDigits)
    {
        value = value * 10 + (text[p] - '0');
        ++p;
        ++digits;
    }
    return digits > 0 && !(p < text.size() && IsDigit(text[p]));
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t';
}

// The time part "hh:nn[:ss]" from text[p] to the end (blanks after it allowed).
bool ParseTimePart(std::string_view text, std::size_t p, int &hour, int &minute, int &second)
{
    int digits = 0;
    second = 0;
    if (!ReadNumber(text, p, 2, hour, digits))
        return false;
    if (p >= text.size() || text[p] != ':')
        return false;
    ++p;
    if (!ReadNumber(text, p, 2, minute, digits))
        return false;
    if (p < text.size() && text[p] == ':')
    {
        ++p;
        if (!ReadNumber(text, p, 2, second, digits))
            return false;
    }
    while (p < text.size() && IsSpace(text[p]))
        ++p;
    return p == text.size() && ValidTime(hour, minute, second, 0);
}

int ExpandTwoDigitYear(int year)
{
    // The toolkit's century window of 50 years around the current year.
    int currentYear = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
    DecodeDateTime(Now(), currentYear, m, d, h, n, s, z);
    const int pivot = currentYear - 50;
    year += pivot / 100 * 100;
    if (year < pivot)
        year += 100;
    return year;
}

// A decimal number as the parsers below accept it: the grammar is checked here so that
// from_chars never sees anything it would read differently.
bool ValidFloatSyntax(std::string_view s)
{
    std::size_t p = 0;
    if (p < s.size() && (s[p] == '+' || s[p] == '-'))
        ++p;
    std::size_t intDigits = 0;
    while (p < s.size() && IsDigit(s[p]))
        ++p, ++intDigits;
    std::size_t fracDigits = 0;
    if (p < s.size() && s[p] == '.')
    {
        ++p;
        while (p < s.size() && IsDigit(s[p]))
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
        while (p < s.size() && IsDigit(s[p]))
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
        if (IsDigit(*c))
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
} // namespace

cDateTime Now()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    std::time_t secs = static_cast<std::time_t>(ms / 1000);
    long long millis = ms % 1000;
    if (millis < 0)
    {
        millis += 1000;
        --secs;
    }
    std::tm tm{};
    localtime_r(&secs, &tm);
    return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
           EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(millis));
}

cDateTime EncodeDate(int year, int month, int day)
{
    if (!ValidDate(year, month, day))
        return 0;
    return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                               EpochOffset);
}

cDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    if (!ValidTime(hour, minute, second, millisecond))
        return 0;
    const long long ms = ((hour * 60LL + minute) * 60LL + second) * 1000LL + millisecond;
    return static_cast<double>(ms) / static_cast<double>(MSecsPerDay);
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, cDateTime &out)
{
    if (!ValidDate(year, month, day) || !ValidTime(hour, minute, second, 0))
        return false;
    const double date = EncodeDate(year, month, day);
    const double time = EncodeTime(hour, minute, second, 0);
    // Before 1899-12-30 the toolkit keeps the time as a positive fraction of a negative day.
    out = date < 0 ? date - time : date + time;
    return true;
}

void DecodeDateTime(cDateTime value, int &year, int &month, int &day, int &hour, int &minute, int &second,
                    int &millisecond)
{
    long long days = 0;
    long long msecs = 0;
    SplitValue(value, days, msecs);
    CivilFromDays(days + EpochOffset, year, month, day);
    hour = static_cast<int>(msecs / 3600000);
    minute = static_cast<int>(msecs / 60000 % 60);
    second = static_cast<int>(msecs / 1000 % 60);
    millisecond = static_cast<int>(msecs % 1000);
}

int DayOfWeek(cDateTime value)
{
    long long days = 0;
    long long msecs = 0;
    SplitValue(value, days, msecs);
    // 1899-12-30 was a Saturday (7).
    long long d = (days + 6) % 7;
    if (d < 0)
        d += 7;
    return static_cast<int>(d) + 1;
}

cDateTime DateTimeFromUnix(std::time_t t)
{
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return 0;
    cDateTime out = 0;
    if (!TryEncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                           tm.tm_sec > 59 ? 59 : tm.tm_sec, out))
        return 0;
    return out;
}

std::time_t UnixFromDateTime(cDateTime value)
{
    int year, month, day, hour, minute, second, ms;
    DecodeDateTime(value, year, month, day, hour, minute, second, ms);
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string FormatDateTime(std::string_view format, cDateTime value)
{
    int year, month, day, hour, minute, second, ms;
    DecodeDateTime(value, year, month, day, hour, minute, second, ms);
    std::string out;
    char lastToken = ' ';
    std::size_t p = 0;
    const std::size_t n = format.size();
    while (p < n)
    {
        const char c = format[p];
        if (c == '"' || c == '\'')
        {
            std::size_t close = format.find(c, p + 1);
            if (close == std::string_view::npos)
                close = n;
            out.append(format.substr(p + 1, close - p - 1));
            p = close < n ? close + 1 : n;
            continue;
        }
        char token = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        // A letter repeats as the same character ("mm"; "Mm" is two one-letter tokens, as in the
        // toolkit); letters are matched without regard to case.
        std::size_t count = 1;
        if (token >= 'A' && token <= 'Z')
            while (p + count < n && format[p + count] == c)
                ++count;
        if (token >= 'A' && token <= 'Z')
        {
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        switch (token)
        {
        case 'Y':
            if (count <= 2)
                AppendPadded(out, year % 100, 2);
            else
                AppendPadded(out, year, 4);
            break;
        case 'M':
            if (count == 1)
                AppendPadded(out, month, 1);
            else if (count == 2)
                AppendPadded(out, month, 2);
            else if (count == 3)
                out += ShortMonthNames[month - 1];
            else
                out += LongMonthNames[month - 1];
            break;
        case 'D':
            if (count == 1)
                AppendPadded(out, day, 1);
            else if (count == 2)
                AppendPadded(out, day, 2);
            else if (count == 3)
                out += ShortDayNames[DayOfWeek(value) - 1];
            else if (count == 4)
                out += LongDayNames[DayOfWeek(value) - 1];
            else
            {
                // Short (and long) date format of the platform mapping: MM/DD/YYYY.
                AppendPadded(out, month, 2);
                out += '/';
                AppendPadded(out, day, 2);
                out += '/';
                AppendPadded(out, year, 4);
            }
            break;
        case 'H':
            AppendPadded(out, hour, count == 1 ? 1 : 2);
            break;
        case 'N':
            AppendPadded(out, minute, count == 1 ? 1 : 2);
            break;
        case 'S':
            AppendPadded(out, second, count == 1 ? 1 : 2);
            break;
        case 'Z':
            AppendPadded(out, ms, count == 1 ? 1 : 3);
            break;
        default:
            out.append(format.substr(p, count));
            break;
        }
        p += count;
    }
    return out;
}

std::string FormatFloat(std::string_view pattern, double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    // Prefix and suffix: the text before the first and after the last placeholder.
    std::size_t first = pattern.find_first_of("0#.,");
    if (first == std::string_view::npos)
        return std::string(pattern);
    std::size_t last = pattern.find_last_of("0#.,");
    std::string_view prefix = pattern.substr(0, first);
    std::string_view body = pattern.substr(first, last - first + 1);
    std::string_view suffix = pattern.substr(last + 1);

    std::size_t point = body.find('.');
    std::string_view intPattern = body.substr(0, point);
    std::string_view fracPattern =
        point == std::string_view::npos ? std::string_view() : body.substr(point + 1);
    int minInt = 0;
    bool thousands = false;
    for (char c : intPattern)
    {
        if (c == '0')
            ++minInt;
        else if (c == ',')
            thousands = true;
    }
    int requiredDecimals = 0;
    int maxDecimals = 0;
    for (char c : fracPattern)
    {
        if (c == '0')
            requiredDecimals = ++maxDecimals;
        else if (c == '#')
            ++maxDecimals;
    }

    int intDigits = 0;
    std::string digits = RoundedDigits(value, maxDecimals, intDigits);
    std::string intPart = digits.substr(0, static_cast<std::size_t>(intDigits));
    std::string fracPart = digits.substr(static_cast<std::size_t>(intDigits));
    // Leading zeros beyond the pattern's required digits go.
    std::size_t lead = 0;
    while (lead + 1 <= intPart.size() && intPart[lead] == '0' &&
           static_cast<int>(intPart.size() - lead) > minInt)
        ++lead;
    intPart.erase(0, lead);
    while (static_cast<int>(intPart.size()) < minInt)
        intPart.insert(0, 1, '0');
    while (static_cast<int>(fracPart.size()) > requiredDecimals && !fracPart.empty() &&
           fracPart.back() == '0')
        fracPart.pop_back();
    if (thousands && intPart.size() > 3)
    {
        std::string grouped;
        std::size_t firstGroup = intPart.size() % 3;
        if (firstGroup == 0)
            firstGroup = 3;
        grouped = intPart.substr(0, firstGroup);
        for (std::size_t i = firstGroup; i < intPart.size(); i += 3)
        {
            grouped += ',';
            grouped += intPart.substr(i, 3);
        }
        intPart = grouped;
    }
    bool isZero = true;
    for (char c : digits)
        if (c != '0')
            isZero = false;
    std::string out(prefix);
    if (value < 0 && !isZero)
        out += '-';
    out += intPart;
    if (!fracPart.empty())
    {
        out += '.';
        out += fracPart;
    }
    out += suffix;
    return out;
}

bool TryStrToDate(std::string_view text, cDateTime &out)
{
    // Blanks around the text are allowed.
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    std::size_t p = 0;
    int a = 0, b = 0, c = 0, digits = 0, yearDigits = 0;
    int year = 0, month = 0, day = 0;
    if (!ReadNumber(text, p, 4, a, digits))
        return false;
    if (digits == 4 && p < text.size() && text[p] == '-')
    {
        // ISO YYYY-MM-DD
        ++p;
        if (!ReadNumber(text, p, 2, b, digits) || digits != 2 || p >= text.size() || text[p] != '-')
            return false;
        ++p;
        if (!ReadNumber(text, p, 2, c, digits) || digits != 2)
            return false;
        year = a;
        month = b;
        day = c;
    }
    else
    {
        // MM/DD/YYYY (one or two digits for month and day; two or four for the year)
        if (digits > 2 || p >= text.size() || text[p] != '/')
            return false;
        ++p;
        if (!ReadNumber(text, p, 2, b, digits) || p >= text.size() || text[p] != '/')
            return false;
        ++p;
        if (!ReadNumber(text, p, 4, c, yearDigits) || (yearDigits != 2 && yearDigits != 4))
            return false;
        month = a;
        day = b;
        year = yearDigits == 2 ? ExpandTwoDigitYear(c) : c;
    }
    if (!ValidDate(year, month, day))
        return false;
    int hour = 0, minute = 0, second = 0;
    if (p < text.size())
    {
        if (text[p] == 'T')
            ++p;
        else if (IsSpace(text[p]))
        {
            while (p < text.size() && IsSpace(text[p]))
                ++p;
        }
        else
            return false;
        if (!ParseTimePart(text, p, hour, minute, second))
            return false;
    }
    return TryEncodeDateTime(year, month, day, hour, minute, second, out);
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
        if (!IsDigit(text[p]))
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
        if (IsDigit(c))
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
