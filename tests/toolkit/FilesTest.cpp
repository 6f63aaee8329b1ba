#include "toolkit/Files.h"
#include "toolkit/DateTime.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <vector>

namespace
{
cDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    cDateTime v = 0;
    TryEncodeDateTime(y, mo, d, h, mi, s, v);
    return v;
}
} // namespace

// Packed DOS date stamps: date ((year-1980)<<9 | month<<5 | day) in the high half, time
// (hour<<11 | minute<<5 | second/2) in the low half

TEST(DosDate, PacksAndUnpacksKnownValues)
{
    const struct
    {
        cDateTime value;
        std::uint32_t packed;
        cDateTime unpacked;
    } cases[] = {{At(1980, 1, 1), 0x00210000u, At(1980, 1, 1)},
                 {At(2024, 3, 5, 7, 8, 10), 0x58653905u, At(2024, 3, 5, 7, 8, 10)},
                 {At(2024, 3, 5, 7, 8, 11), 0x58653905u, At(2024, 3, 5, 7, 8, 10)}, // 2-second resolution
                 {At(2000, 1, 1, 12, 0, 0), 0x28216000u, At(2000, 1, 1, 12, 0, 0)},
                 {At(2107, 12, 31, 23, 59, 59), 0xFF9FBF7Du, At(2107, 12, 31, 23, 59, 58)}};
    for (const auto &c : cases)
    {
        EXPECT_EQ(static_cast<std::uint32_t>(DateTimeToFileDate(c.value)), c.packed) << c.value;
        EXPECT_EQ(FileDateToDateTime(static_cast<std::int32_t>(c.packed)), c.unpacked) << c.packed;
    }
    for (int s = 0; s < 86400; s += 2)
    {
        const cDateTime v = At(2011, 7, 19, s / 3600, s / 60 % 60, s % 60);
        ASSERT_EQ(FileDateToDateTime(DateTimeToFileDate(v)), v) << s;
    }
}

TEST(DosDate, OutOfRangeValuesAndInvalidStampsGiveZero)
{
    for (cDateTime v : {At(1979, 12, 31, 23, 59, 59), At(2108, 1, 1), 0.0})
        EXPECT_EQ(DateTimeToFileDate(v), 0) << v;
    double out = 5;
    EXPECT_FALSE(TryFileDateToDateTime(0, out)); // month 0, day 0
    EXPECT_EQ(out, 5);
    for (std::int32_t bad : {0, 0x01A10000 /* month 13 */, 0x00210000 | (24 << 11) /* hour 24 */,
                             0x00210000 | 30 /* second 60 */, -1})
        EXPECT_EQ(FileDateToDateTime(bad), 0) << bad;
}

TEST(DosDate, ThroughARealFile)
{
    cTempDir dir;
    const std::string path = dir.Write("DorvaneProvider.exe", "MZ");
    // A fresh file carries the current time.
    ASSERT_NE(FileAge(path), -1);
    EXPECT_NEAR(FileDateToDateTime(FileAge(path)), Now(), 5.0 / 86400.0);

    const std::int32_t stamp = 0x58653905; // 2024-03-05 07:08:10 local
    ASSERT_TRUE(FileSetDate(path, stamp));
    EXPECT_EQ(FileAge(path), stamp);
    struct stat st = {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    std::tm tm{};
    localtime_r(&st.st_mtim.tv_sec, &tm);
    EXPECT_EQ(
        (std::vector<int>{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec}),
        (std::vector<int>{2024, 3, 5, 7, 8, 10}));

    EXPECT_FALSE(FileSetDate(path, 0));
    EXPECT_EQ(FileAge(dir.File("missing")), -1);
    EXPECT_EQ(FileAge(dir.Path), -1); // a folder
    EXPECT_FALSE(FileSetDate(dir.File("missing"), stamp));
}

TEST(Files, ExistsDeleteRenameSize)
{
    cTempDir dir;
    const std::string a = dir.File("a.tmp");
    const std::string b = dir.File("b.bak");
    // Whether the file exists, its size, and whether deleting it succeeds.
    EXPECT_EQ((std::tuple{FileExists(a), FileSize(a), DeleteFile(a)}), std::tuple(false, -1LL, false));
    dir.Write("a.tmp", "12345");
    EXPECT_EQ((std::tuple{FileExists(a), FileSize(a)}), std::tuple(true, 5LL));
    // Folders are not files; renaming fails when the source is gone or the target exists.
    EXPECT_EQ((std::vector<bool>{FileExists(dir.Path), RenameFile(a, b), FileExists(a), RenameFile(a, b)}),
              (std::vector<bool>{false, true, false, false}));
    dir.Write("a.tmp", "other");
    EXPECT_FALSE(RenameFile(a, b));
    EXPECT_EQ(ReadFile(b), "12345");
    EXPECT_EQ((std::vector<bool>{DeleteFile(b), FileExists(b), FileExists(""), RenameFile("", b)}),
              (std::vector<bool>{true, false, false, false}));
}

TEST(Files, PathHelpers)
{
    EXPECT_EQ(ExtractFilePath("/a/b/c"), "/a/b/");
    EXPECT_EQ(ExtractFilePath("c"), "");
    EXPECT_EQ(ExtractFilePath("C:\\Apps\\DorvaneProvider.exe"), "C:\\Apps\\");
    EXPECT_EQ(ExtractFileName("Clients\\DorvaneProvider.exe"), "DorvaneProvider.exe");
    EXPECT_EQ(ExtractFileName("plain"), "plain");
    EXPECT_EQ(ExtractFileName("/a/"), "");
    const std::string exe = ExecutablePath();
    EXPECT_EQ(ExtractFileName(exe), "toolkit_tests");
    EXPECT_TRUE(FileExists(exe));
    EXPECT_EQ(exe.front(), '/');
}

TEST(AppendLine, CreatesOrExtendsTheFileAndEndsLinesWithCrLf)
{
    cTempDir dir;
    const std::string path = dir.File("DbDebugLog.txt");
    AppendLineToFile(path, "12:00:00:000 Connect::NoSocket");
    EXPECT_EQ(ReadFile(path), "12:00:00:000 Connect::NoSocket\r\n");
    AppendLineToFile(path, "");
    AppendLineToFile(path, "ends with lf\n");
    AppendLineToFile(path, "ends with cr\r");
    EXPECT_EQ(ReadFile(path), "12:00:00:000 Connect::NoSocket\r\n\r\nends with lf\nends with cr\r\r\n");
    const std::string other = dir.Write("log", "first");
    AppendLineToFile(other, "second");
    EXPECT_EQ(ReadFile(other), "firstsecond\r\n");
}

TEST(AppendLine, ConcurrentWritersLoseNoLine)
{
    cTempDir dir;
    const std::string path = dir.File("log");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&, t]
            {
                for (int i = 0; i < 50; ++i)
                    AppendLineToFile(path, "thread " + std::to_string(t));
            });
    for (auto &th : threads)
        th.join();
    EXPECT_EQ(ReadFile(path).size(), 4u * 50u * std::string("thread 0\r\n").size());
}

TEST(AppendLine, AMissingFolderLosesTheLineWithoutCreatingAnything)
{
    cTempDir dir;
    const std::string path = dir.File("no/such/folder/log.txt");
    AppendLineToFile(path, "lost");
    EXPECT_FALSE(FileExists(path));
    struct stat st = {};
    EXPECT_NE(::stat(dir.File("no").c_str(), &st), 0);
}
