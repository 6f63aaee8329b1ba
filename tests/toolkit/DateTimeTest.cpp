#include "toolkit/DateTime.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <ctime>
#include <locale>
#include <random>

namespace
{
cDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

// A numpunct with ',' as the decimal point, to show that the process locale is not used.
struct cCommaPunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
};
} // namespace

TEST(DateTime, EncodeDateCountsDaysFrom18991230)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1899, 12, 31), 1);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(2024, 2, 29), 45351);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
}

TEST(DateTime, InvalidDatesEncodeAsZero)
{
    EXPECT_EQ(EncodeDate(2023, 2, 29), 0);
    EXPECT_EQ(EncodeDate(1900, 2, 29), 0);
    EXPECT_EQ(EncodeDate(2024, 13, 1), 0);
    EXPECT_EQ(EncodeDate(2024, 4, 31), 0);
    EXPECT_EQ(EncodeDate(0, 1, 1), 0);
    cDateTime out = 123;
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 1, 24, 0, 0, out));
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 32, 0, 0, 0, out));
    EXPECT_EQ(out, 123);
}

TEST(DateTime, EncodeTimeIsAFractionOfADay)
{
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_NEAR(EncodeTime(23, 59, 59, 999), 1.0 - 1.0 / 86400000.0, 1e-12);
    EXPECT_EQ(EncodeTime(24, 0, 0, 0), 0);
}

TEST(DateTime, DecodeRoundTrip)
{
    std::mt19937 rng(99u);
    std::uniform_int_distribution<int> yd(1, 9999), md(1, 12), dd(1, 28), hd(0, 23), nd(0, 59), msd(0, 999);
    for (int i = 0; i < 20000; ++i)
    {
        int y = yd(rng), mo = md(rng), d = dd(rng), h = hd(rng), mi = nd(rng), s = nd(rng), ms = msd(rng);
        cDateTime value = 0;
        ASSERT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, value));
        value += value < 0 ? -EncodeTime(0, 0, 0, ms) : EncodeTime(0, 0, 0, ms);
        int Y, Mo, D, H, Mi, S, Ms;
        DecodeDateTime(value, Y, Mo, D, H, Mi, S, Ms);
        ASSERT_EQ(std::vector<int>({Y, Mo, D, H, Mi, S, Ms}), std::vector<int>({y, mo, d, h, mi, s, ms}))
            << value;
    }
}

TEST(DateTime, DecodeRoundsToTheMillisecond)
{
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(At(2024, 3, 5) + 0.9999999999, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(std::vector<int>({y, mo, d, h, mi, s, ms}), std::vector<int>({2024, 3, 6, 0, 0, 0, 0}));
    DecodeDateTime(std::nan(""), y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y, 1899);
}

TEST(DateTime, DayOfWeek)
{
    EXPECT_EQ(DayOfWeek(0), 7);                        // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 5)), 3);   // Tuesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1); // Sunday
}

TEST(DateTime, FormatsOfTheProgram)
{
    const cDateTime v = At(2024, 3, 5, 7, 8, 9, 10);
    EXPECT_EQ(FormatDateTime("yyyymmddhhnnss", v), "20240305070809");
    EXPECT_EQ(FormatDateTime("hh:nn:ss:zzz ", v), "07:08:09:010 ");
    EXPECT_EQ(FormatDateTime("yyyymmddhhnnss", At(1999, 12, 31, 23, 59, 59)), "19991231235959");
}

TEST(DateTime, FormatLetters)
{
    const cDateTime v = At(2024, 3, 5, 7, 8, 9, 10);
    EXPECT_EQ(FormatDateTime("mm/dd/yyyy", v), "03/05/2024");
    EXPECT_EQ(FormatDateTime("m/d/yy", v), "3/5/24");
    EXPECT_EQ(FormatDateTime("h:n:s.z", v), "7:8:9.10");
    EXPECT_EQ(FormatDateTime("hh:mm", v), "07:08"); // mm after hh is minutes
    EXPECT_EQ(FormatDateTime("hh mm", v), "07 08");
    EXPECT_EQ(FormatDateTime("YYYY-MM-DD", v), "2024-03-05");
    EXPECT_EQ(FormatDateTime("mmm mmmm ddd dddd", v), "Mar March Tue Tuesday");
    EXPECT_EQ(FormatDateTime("ddddd", v), "03/05/2024");
    EXPECT_EQ(FormatDateTime("\"yyyy\" 'mm' yyyy", v), "yyyy mm 2024");
    EXPECT_EQ(FormatDateTime("[x] yyyy", v), "[x] 2024");
    EXPECT_EQ(FormatDateTime("", v), "");
    EXPECT_EQ(FormatDateTime("\"unclosed", v), "unclosed");
}

TEST(DateTime, FormatFloatPatterns)
{
    EXPECT_EQ(FormatFloat("##0.0", 12.345), "12.3");
    EXPECT_EQ(FormatFloat("##0.0", 0), "0.0");
    EXPECT_EQ(FormatFloat("##0.0", 0.04), "0.0");
    EXPECT_EQ(FormatFloat("##0.0", 0.05), "0.1");
    EXPECT_EQ(FormatFloat("##0.0", 0.15), "0.2");
    EXPECT_EQ(FormatFloat("##0.0", 99.95), "100.0");
    EXPECT_EQ(FormatFloat("##0.0", 1234.56), "1234.6");
    EXPECT_EQ(FormatFloat("##0.0", -3.25), "-3.3");
    EXPECT_EQ(FormatFloat("##0.0", -0.04), "0.0");
    EXPECT_EQ(FormatFloat("##0.0", 45.9999), "46.0");
    EXPECT_EQ(FormatFloat("0.0", 5), "5.0");
    EXPECT_EQ(FormatFloat("0.0", 130), "130.0");
    EXPECT_EQ(FormatFloat("0.0", 0.96), "1.0");
    EXPECT_EQ(FormatFloat("0.0", 1e-9), "0.0");
    EXPECT_EQ(FormatFloat("0.0", 12345678901234.5), "12345678901234.5");
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2.68");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
    EXPECT_EQ(FormatFloat("0.0#", 1.25), "1.25");
    EXPECT_EQ(FormatFloat("0.0#", 1.2), "1.2");
    EXPECT_EQ(FormatFloat("#,##0.0", 1234567.89), "1,234,567.9");
    EXPECT_EQ(FormatFloat("0.0 yrs", 3), "3.0 yrs");
}

TEST(DateTime, AgeAsThePartsComputeIt)
{
    // (now minus birth date) / 365.25 with "##0.0"
    const cDateTime birth = EncodeDate(1950, 6, 15);
    const cDateTime now = EncodeDate(2024, 6, 15);
    EXPECT_EQ(FormatFloat("##0.0", (now - birth) / 365.25), "74.0");
}

TEST(DateTime, TryStrToDateSystemFormat)
{
    cDateTime v = -1;
    ASSERT_TRUE(TryStrToDate("03/05/2024", v));
    EXPECT_EQ(v, EncodeDate(2024, 3, 5));
    ASSERT_TRUE(TryStrToDate("3/5/2024", v));
    EXPECT_EQ(v, EncodeDate(2024, 3, 5));
    ASSERT_TRUE(TryStrToDate("12/31/1899", v));
    EXPECT_EQ(v, 1);
    ASSERT_TRUE(TryStrToDate(" 02/29/2024 ", v));
    EXPECT_EQ(v, EncodeDate(2024, 2, 29));
}

TEST(DateTime, TryStrToDateWithTime)
{
    cDateTime v = -1;
    ASSERT_TRUE(TryStrToDate("03/05/2024 14:30", v));
    EXPECT_EQ(v, At(2024, 3, 5, 14, 30));
    ASSERT_TRUE(TryStrToDate("03/05/2024  14:30:15", v));
    EXPECT_EQ(v, At(2024, 3, 5, 14, 30, 15));
    ASSERT_TRUE(TryStrToDate("3/5/2024 7:05", v));
    EXPECT_EQ(v, At(2024, 3, 5, 7, 5));
}

TEST(DateTime, TryStrToDateIso)
{
    cDateTime v = -1;
    ASSERT_TRUE(TryStrToDate("2024-03-05", v));
    EXPECT_EQ(v, EncodeDate(2024, 3, 5));
    ASSERT_TRUE(TryStrToDate("2024-03-05 08:09:10", v));
    EXPECT_EQ(v, At(2024, 3, 5, 8, 9, 10));
    ASSERT_TRUE(TryStrToDate("2024-03-05T08:09", v));
    EXPECT_EQ(v, At(2024, 3, 5, 8, 9));
}

TEST(DateTime, TryStrToDateTwoDigitYearUsesTheCenturyWindow)
{
    cDateTime v = -1;
    int year, mo, d, h, mi, s, ms;
    DecodeDateTime(Now(), year, mo, d, h, mi, s, ms);
    ASSERT_TRUE(TryStrToDate("01/02/" + std::to_string(year % 100 / 10) + std::to_string(year % 10), v));
    EXPECT_EQ(v, EncodeDate(year, 1, 2));
}

TEST(DateTime, TryStrToDateRejects)
{
    cDateTime v = 42;
    for (const char *bad : {"",
                            " ",
                            "abc",
                            "02/30/2024",
                            "13/01/2024",
                            "00/10/2024",
                            "01/00/2024",
                            "1/1/202",
                            "01/05/2024x",
                            "01-05-2024",
                            "2024/01/05",
                            "2024-1-5",
                            "2024-13-01",
                            "03/05/2024 25:00",
                            "03/05/2024 12:60",
                            "03/05/2024 12",
                            "03/05/2024 12:30:99",
                            "03/05/2024T",
                            "123/05/2024",
                            "03/05/20245",
                            "20240305",
                            "03/05",
                            "0x1/1/2024",
                            "+3/5/2024",
                            "03/05/2024 12:30 PM"})
    {
        EXPECT_FALSE(TryStrToDate(bad, v)) << bad;
    }
    EXPECT_EQ(v, 42);
}

TEST(Numbers, StrToIntDefWholeText)
{
    EXPECT_EQ(StrToIntDef("12", -1), 12);
    EXPECT_EQ(StrToIntDef("-5", 0), -5);
    EXPECT_EQ(StrToIntDef("+7", 0), 7);
    EXPECT_EQ(StrToIntDef("007", 0), 7);
    EXPECT_EQ(StrToIntDef("2147483647", 0), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", 0), -2147483647 - 1);
    for (const char *bad : {"", " ", "-", "+", " 1", "1 ", "12a", "80a", "abc", "0x10", "$10", "1.0", "1e3",
                            "2147483648", "-2147483649", "99999999999999999999999", "--1", "+-1"})
        EXPECT_EQ(StrToIntDef(bad, 8700), 8700) << bad;
    int out = 3;
    EXPECT_FALSE(TryStrToInt("x", out));
    EXPECT_EQ(out, 3);
    EXPECT_TRUE(TryStrToInt("-0", out));
    EXPECT_EQ(out, 0);
}

TEST(Numbers, StrToInt64DefBounds)
{
    EXPECT_EQ(StrToInt64Def("9223372036854775807", 0), 9223372036854775807LL);
    EXPECT_EQ(StrToInt64Def("-9223372036854775808", 0), -9223372036854775807LL - 1);
    EXPECT_EQ(StrToInt64Def("9223372036854775808", 5), 5);
    EXPECT_EQ(StrToInt64Def("-9223372036854775809", 5), 5);
    EXPECT_EQ(StrToInt64Def("3000000000", 5), 3000000000LL);
}

TEST(Numbers, StrToFloatDefWholeText)
{
    EXPECT_EQ(StrToFloatDef("1.5", 0), 1.5);
    EXPECT_EQ(StrToFloatDef("-0.25", 0), -0.25);
    EXPECT_EQ(StrToFloatDef("+2", 0), 2);
    EXPECT_EQ(StrToFloatDef("45000.5", 0), 45000.5);
    EXPECT_EQ(StrToFloatDef("1e3", 0), 1000);
    EXPECT_EQ(StrToFloatDef("1E-2", 0), 0.01);
    EXPECT_EQ(StrToFloatDef(".5", 0), 0.5);
    EXPECT_EQ(StrToFloatDef("5.", 0), 5);
    EXPECT_EQ(StrToFloatDef("0", 9), 0);
    for (const char *bad :
         {"",    " ",    ".",   "-",   "+.",  "1,5",   "1.5 ",  " 1.5",  "abc", "1e",   "1e+", "e5",
          "inf", "-inf", "nan", "NAN", "INF", "0x1p3", "1.2.3", "1e999", "--1", "1..2", "1.5f"})
        EXPECT_EQ(StrToFloatDef(bad, -7.5), -7.5) << bad;
}

TEST(Numbers, ParsingAndWritingIgnoreTheLocale)
{
    const std::locale savedGlobal = std::locale::global(std::locale(std::locale::classic(), new cCommaPunct));
    std::string savedC = std::setlocale(LC_ALL, nullptr);
    // A locale with ',' as the decimal separator, when the machine has one.
    bool haveCommaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                           std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
    EXPECT_EQ(StrToFloatDef("1.5", 0), 1.5);
    EXPECT_EQ(StrToFloatDef("1,5", 0), 0);
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(FormatFloat("##0.0", 1.25), "1.3");
    EXPECT_EQ(IntToStr(1234567), "1234567");
    std::setlocale(LC_ALL, savedC.c_str());
    std::locale::global(savedGlobal);
    if (!haveCommaLocale)
        GTEST_LOG_(INFO) << "no locale with a decimal comma installed; checked with a C++ global locale only";
}

TEST(Numbers, FloatToStr)
{
    EXPECT_EQ(FloatToStr(45000.5), "45000.5");
    EXPECT_EQ(FloatToStr(3), "3");
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(-2.5), "-2.5");
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    EXPECT_EQ(FloatToStr(0.0001), "0.0001");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
    EXPECT_EQ(IntToStr(-42), "-42");
}

TEST(Numbers, FloatToStrReadsBack)
{
    std::mt19937_64 rng(5u);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::uniform_int_distribution<int> exp(-30, 30);
    for (int i = 0; i < 20000; ++i)
    {
        double v = std::ldexp(unit(rng), exp(rng));
        std::string s = FloatToStr(v);
        double back = 0;
        ASSERT_TRUE(TryStrToFloat(s, back)) << s;
        ASSERT_EQ(back, v) << s;
    }
}

TEST(DateTime, UnixConversionsUseLocalTime)
{
    const std::time_t t = 1709622489; // 2024-03-05 07:08:09 UTC
    std::tm tm{};
    localtime_r(&t, &tm);
    const cDateTime v = DateTimeFromUnix(t);
    EXPECT_EQ(v, At(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec));
    EXPECT_EQ(UnixFromDateTime(v), t);
}

TEST(DateTime, NowIsTheLocalClock)
{
    const cDateTime before = DateTimeFromUnix(std::time(nullptr));
    const cDateTime now = Now();
    const cDateTime after = DateTimeFromUnix(std::time(nullptr)) + EncodeTime(0, 0, 1, 0);
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}
