#include "toolkit/DateTime.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <ctime>
#include <limits>
#include <locale>
#include <random>
#include <vector>

namespace
{
using Strings = std::vector<std::string>;

cDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

std::vector<int> Decoded(cDateTime value)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(value, y, mo, d, h, mi, s, ms);
    return {y, mo, d, h, mi, s, ms};
}

// f applied to each input, in order.
template <class T, class F> auto Each(std::initializer_list<T> inputs, F f)
{
    std::vector<decltype(f(*inputs.begin()))> out;
    for (const T &x : inputs)
        out.push_back(f(x));
    return out;
}

// A numpunct with ',' as the decimal point, to show that the process locale is not used.
struct cCommaPunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
};
} // namespace

TEST(DateTime, EncodeCountsDaysFrom18991230AndRejectsInvalidDates)
{
    // Dates written yyyymmdd (year 0 is 101); invalid dates give 0.
    EXPECT_EQ(
        Each({18991230, 18991229, 19000301, 20000101, 20240229, 20230229, 19000229, 20241301, 20240431, 101},
             [](int d) { return EncodeDate(d / 10000, d / 100 % 100, d % 100); }),
        (std::vector<cDateTime>{0, -1, 61, 36526, 45351, 0, 0, 0, 0, 0}));
    cDateTime out = 123;
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 1, 24, 0, 0, out));
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 32, 0, 0, 0, out));
    EXPECT_EQ(out, 123);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_NEAR(EncodeTime(23, 59, 59, 999), 1.0 - 1.0 / 86400000.0, 1e-12);
    EXPECT_EQ(EncodeTime(24, 0, 0, 0), 0);
    // Saturday, Tuesday, Sunday.
    EXPECT_EQ(Each({0.0, EncodeDate(2024, 3, 5), EncodeDate(1899, 12, 24)}, DayOfWeek),
              (std::vector{7, 3, 1}));
}

TEST(DateTime, DecodeRoundTripsAndRoundsToTheMillisecond)
{
    std::mt19937 rng(99u);
    auto in = [&](int lo, int hi)
    { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    for (int i = 0; i < 5000; ++i)
    {
        const std::vector<int> want{in(1, 9999), in(1, 12), in(1, 28), in(0, 23),
                                    in(0, 59),   in(0, 59), in(0, 999)};
        cDateTime value = 0;
        ASSERT_TRUE(TryEncodeDateTime(want[0], want[1], want[2], want[3], want[4], want[5], value));
        value += value < 0 ? -EncodeTime(0, 0, 0, want[6]) : EncodeTime(0, 0, 0, want[6]);
        ASSERT_EQ(Decoded(value), want) << value;
    }
    EXPECT_EQ(Decoded(At(2024, 3, 5) + 0.9999999999), (std::vector<int>{2024, 3, 6, 0, 0, 0, 0}));
    EXPECT_EQ(Decoded(std::nan(""))[0], 1899);
}

TEST(DateTime, FormatDateTime)
{
    // mm after hh is minutes; quoted text is copied, an unclosed quote runs to the end.
    EXPECT_EQ(
        Each({"yyyymmddhhnnss", "hh:nn:ss:zzz ", "mm/dd/yyyy", "m/d/yy", "h:n:s.z", "hh:mm", "hh mm",
              "YYYY-MM-DD", "mmm mmmm ddd dddd", "ddddd", "\"yyyy\" 'mm' yyyy", "[x] yyyy", "", "\"unclosed"},
             [](const char *format) { return FormatDateTime(format, At(2024, 3, 5, 7, 8, 9, 10)); }),
        (Strings{"20240305070809", "07:08:09:010 ", "03/05/2024", "3/5/24", "7:8:9.10", "07:08", "07 08",
                 "2024-03-05", "Mar March Tue Tuesday", "03/05/2024", "yyyy mm 2024", "[x] 2024", "",
                 "unclosed"}));
}

TEST(DateTime, FormatFloatPatterns)
{
    const double age = (EncodeDate(2024, 6, 15) - EncodeDate(1950, 6, 15)) / 365.25;
    const struct
    {
        const char *pattern;
        std::vector<double> values;
        Strings expected;
    } cases[] = {{"##0.0",
                  {12.345, 0, 0.04, 0.05, 0.15, 99.95, 1234.56, -3.25, -0.04, age},
                  {"12.3", "0.0", "0.0", "0.1", "0.2", "100.0", "1234.6", "-3.3", "0.0", "74.0"}},
                 {"0.0", {130, 0.96, 1e-9, 12345678901234.5}, {"130.0", "1.0", "0.0", "12345678901234.5"}},
                 {"0.00", {2.675}, {"2.68"}},
                 {"0", {2.5}, {"3"}},
                 {"#.##", {0.5}, {".5"}},
                 {"0.0#", {1.25, 1.2}, {"1.25", "1.2"}},
                 {"#,##0.0", {1234567.89}, {"1,234,567.9"}},
                 {"0.0 yrs", {3}, {"3.0 yrs"}}};
    for (const auto &c : cases)
    {
        Strings got;
        for (double value : c.values)
            got.push_back(FormatFloat(c.pattern, value));
        EXPECT_EQ(got, c.expected) << c.pattern;
    }
}

TEST(DateTime, TryStrToDateAcceptsTheSystemFormatAndIso)
{
    // Each text read, or -1 when refused.
    EXPECT_EQ(
        Each({"03/05/2024", "3/5/2024", "12/31/1899", " 02/29/2024 ", "03/05/2024 14:30",
              "03/05/2024  14:30:15", "3/5/2024 7:05", "2024-03-05", "2024-03-05 08:09:10",
              "2024-03-05T08:09"},
             [](const char *text)
             {
                 cDateTime v = -1;
                 return TryStrToDate(text, v) ? v : -1;
             }),
        (std::vector<cDateTime>{EncodeDate(2024, 3, 5), EncodeDate(2024, 3, 5), 1, EncodeDate(2024, 2, 29),
                                At(2024, 3, 5, 14, 30), At(2024, 3, 5, 14, 30, 15), At(2024, 3, 5, 7, 5),
                                EncodeDate(2024, 3, 5), At(2024, 3, 5, 8, 9, 10), At(2024, 3, 5, 8, 9)}));
    // A two-digit year is taken in the century window around this year.
    const int year = Decoded(Now())[0];
    cDateTime v = -1;
    ASSERT_TRUE(TryStrToDate("01/02/" + std::to_string(year % 100 / 10) + std::to_string(year % 10), v));
    EXPECT_EQ(v, EncodeDate(year, 1, 2));
}

TEST(DateTime, TryStrToDateRejects)
{
    cDateTime v = 42;
    for (const char *bad : {"", " ", "abc", "02/30/2024", "13/01/2024", "00/10/2024", "01/00/2024", "1/1/202",
                            "01/05/2024x", "01-05-2024", "2024/01/05", "2024-1-5", "2024-13-01",
                            "123/05/2024", "03/05/20245", "20240305", "03/05", "0x1/1/2024", "+3/5/2024"})
        EXPECT_FALSE(TryStrToDate(bad, v)) << bad;
    // A good date with a bad time after it.
    for (const char *time : {" 25:00", " 12:60", " 12", " 12:30:99", "T", " 12:30 PM"})
        EXPECT_FALSE(TryStrToDate(std::string("03/05/2024") + time, v)) << time;
    EXPECT_EQ(v, 42);
}

TEST(Numbers, IntegersNeedTheWholeText)
{
    EXPECT_EQ(
        Each({"-5", "+7", "007", "2147483647", "-2147483648"}, [](auto t) { return StrToIntDef(t, 0); }),
        (std::vector{-5, 7, 7, 2147483647, -2147483647 - 1}));
    for (const char *bad : {"", " ", "-", "+", " 1", "1 ", "12a", "80a", "abc", "0x10", "$10", "1.0", "1e3",
                            "2147483648", "-2147483649", "99999999999999999999999", "--1", "+-1"})
        EXPECT_EQ(StrToIntDef(bad, 8700), 8700) << bad;
    int out = 3;
    EXPECT_FALSE(TryStrToInt("x", out));
    EXPECT_EQ(out, 3);
    EXPECT_TRUE(TryStrToInt("-0", out));
    EXPECT_EQ(out, 0);
    EXPECT_EQ(
        Each({"9223372036854775807", "-9223372036854775808", "9223372036854775808", "-9223372036854775809",
              "3000000000"},
             [](auto t) { return StrToInt64Def(t, 5); }),
        (std::vector<long long>{9223372036854775807LL, -9223372036854775807LL - 1, 5, 5, 3000000000LL}));
}

TEST(Numbers, FloatsNeedTheWholeText)
{
    const std::pair<const char *, double> good[] = {{"-0.25", -0.25}, {"+2", 2},      {"45000.5", 45000.5},
                                                    {"1e3", 1000},    {"1E-2", 0.01}, {".5", 0.5},
                                                    {"5.", 5},        {"0", 0}};
    for (const auto &[text, value] : good)
        EXPECT_EQ(StrToFloatDef(text, 9), value) << text;
    for (const char *bad :
         {"",    " ",    ".",   "-",   "+.",  "1,5",   "1.5 ",  " 1.5",  "abc", "1e",   "1e+", "e5",
          "inf", "-inf", "nan", "NAN", "INF", "0x1p3", "1.2.3", "1e999", "--1", "1..2", "1.5f"})
        EXPECT_EQ(StrToFloatDef(bad, -7.5), -7.5) << bad;
}

TEST(Numbers, FloatToStrIsShortAndReadsBack)
{
    EXPECT_EQ(Each({45000.5, 3.0, 0.0, -2.5, 0.1, 0.0001, 123456789012345.0, 1e20, 1.5e-7}, FloatToStr),
              (Strings{"45000.5", "3", "0", "-2.5", "0.1", "0.0001", "123456789012345", "1E20", "1.5E-7"}));
    EXPECT_EQ(IntToStr(-42), "-42");
    std::mt19937_64 rng(5u);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 5000; ++i)
    {
        const double v = std::ldexp(unit(rng), static_cast<int>(rng() % 61) - 30);
        const std::string s = FloatToStr(v);
        double back = 0;
        ASSERT_TRUE(TryStrToFloat(s, back)) << s;
        ASSERT_EQ(back, v) << s;
    }
}

TEST(Numbers, ParsingAndWritingIgnoreTheLocale)
{
    const std::locale savedGlobal = std::locale::global(std::locale(std::locale::classic(), new cCommaPunct));
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    // A locale with ',' as the decimal separator, when the machine has one.
    const bool haveCommaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                                 std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    EXPECT_EQ((std::vector{StrToFloatDef("1.5", 0), StrToFloatDef("1,5", 0)}), (std::vector{1.5, 0.0}));
    EXPECT_EQ((Strings{FloatToStr(1.5), FormatFloat("##0.0", 1.25), IntToStr(1234567)}),
              (Strings{"1.5", "1.3", "1234567"}));
    std::setlocale(LC_ALL, savedC.c_str());
    std::locale::global(savedGlobal);
    if (!haveCommaLocale)
        GTEST_LOG_(INFO) << "no locale with a decimal comma installed; checked with a C++ global locale only";
}

TEST(DateTime, UnixConversionsAndNowUseLocalTime)
{
    const std::time_t t = 1709622489; // 2024-03-05 07:08:09 UTC
    std::tm tm{};
    localtime_r(&t, &tm);
    const cDateTime v = DateTimeFromUnix(t);
    EXPECT_EQ(v, At(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec));
    EXPECT_EQ(UnixFromDateTime(v), t);
    const cDateTime before = DateTimeFromUnix(std::time(nullptr));
    const cDateTime now = Now();
    EXPECT_GE(now, before);
    EXPECT_LE(now, DateTimeFromUnix(std::time(nullptr)) + EncodeTime(0, 0, 1, 0));
}

// Long texts are read whole (no fixed buffer), and values beyond the calendar or with no finite
// value still format to something.
TEST(Numbers, LongTextsAndExtremeValues)
{
    const std::string digits(100000, '7');
    EXPECT_EQ(StrToIntDef(digits, -1), -1);
    EXPECT_EQ(StrToInt64Def(digits, -1), -1);
    EXPECT_EQ(StrToFloatDef(digits, -1), -1); // out of range
    EXPECT_GT(StrToFloatDef("0." + digits, -1), 0.77);
    cDateTime v = 0;
    EXPECT_FALSE(TryStrToDate("01/01/2024 " + digits, v));
    EXPECT_FALSE(FormatDateTime(std::string(100000, 'y'), 45000.5).empty());
    for (double x : {1e300, -1e300, 5e-324, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), -1e6, 3e6})
    {
        EXPECT_FALSE(FormatDateTime("yyyymmddhhnnss", x).empty()) << x;
        EXPECT_FALSE(FormatFloat("##0.0", x).empty()) << x;
        EXPECT_FALSE(FloatToStr(x).empty()) << x;
    }
    EXPECT_EQ(FormatFloat("##0.0", 1e300).size(), 303u);
}
