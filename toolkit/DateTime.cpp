// Date-time values as the form toolkit kept them (days since 1899-12-30, fraction = time of
// day) and their formats. The number helpers are in Numbers.cpp.
#include "toolkit/DateTime.h"

#include "toolkit/Chars.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace
{
constexpr long long MSecsPerDay = 86400000LL;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr long long DaysFromCivil(long long y, unsigned m, unsigned d)
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

// Constant-initialised, so date work in other files' static initialisers sees it set.
constexpr long long EpochOffset = DaysFromCivil(1899, 12, 30); // days from 1970-01-01 to 1899-12-30
static_assert(EpochOffset == -25569);

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

// Reads 1..maxDigits decimal digits at text[p]; false when there is none.
bool ReadNumber(std::string_view text, std::size_t &p, int maxDigits, int &value, int &digits)
{
    value = 0;
    digits = 0;
    while (p < text.size() && IsAsciiDigit(text[p]) && digits < maxDigits)
    {
        value = value * 10 + (text[p] - '0');
        ++p;
        ++digits;
    }
    return digits > 0 && !(p < text.size() && IsAsciiDigit(text[p]));
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

namespace
{
// The parts of one value that the format letters write.
struct cDateParts
{
    cDateTime Value;
    int Year, Month, Day, Hour, Minute, Second, Millisecond;
};

void AppendDateToken(std::string &out, char token, std::size_t count, const cDateParts &d)
{
    const int width = count == 1 ? 1 : 2;
    switch (token)
    {
    case 'Y':
        if (count <= 2)
            AppendPadded(out, d.Year % 100, 2);
        else
            AppendPadded(out, d.Year, 4);
        break;
    case 'M':
        if (count <= 2)
            AppendPadded(out, d.Month, width);
        else
            out += (count == 3 ? ShortMonthNames : LongMonthNames)[d.Month - 1];
        break;
    case 'D':
        if (count <= 2)
            AppendPadded(out, d.Day, width);
        else if (count <= 4)
            out += (count == 3 ? ShortDayNames : LongDayNames)[DayOfWeek(d.Value) - 1];
        else
        {
            // Short (and long) date format of the platform mapping: MM/DD/YYYY.
            AppendPadded(out, d.Month, 2);
            out += '/';
            AppendPadded(out, d.Day, 2);
            out += '/';
            AppendPadded(out, d.Year, 4);
        }
        break;
    case 'H':
        AppendPadded(out, d.Hour, width);
        break;
    case 'N':
        AppendPadded(out, d.Minute, width);
        break;
    case 'S':
        AppendPadded(out, d.Second, width);
        break;
    case 'Z':
        AppendPadded(out, d.Millisecond, count == 1 ? 1 : 3);
        break;
    default:
        break;
    }
}
} // namespace

std::string FormatDateTime(std::string_view format, cDateTime value)
{
    cDateParts parts{value, 0, 0, 0, 0, 0, 0, 0};
    DecodeDateTime(value, parts.Year, parts.Month, parts.Day, parts.Hour, parts.Minute, parts.Second,
                   parts.Millisecond);
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
        const bool letter = token >= 'A' && token <= 'Z';
        if (letter)
        {
            while (p + count < n && format[p + count] == c)
                ++count;
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        if (letter && std::string_view("YMDHNSZ").find(token) != std::string_view::npos)
            AppendDateToken(out, token, count, parts);
        else
            out.append(format.substr(p, count));
        p += count;
    }
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
