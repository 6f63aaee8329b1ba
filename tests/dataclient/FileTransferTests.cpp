// File information, downloads and the pictures of a chosen-field read.
#include "dataclient/dbServerConnection.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TempDir.h"
#include "toolkit/DateTime.h"
#include "toolkit/Files.h"
#include "toolkit/Host.h"

#include <gtest/gtest.h>

namespace
{
class cRecordingSink : public cProgressSink
{
public:
    void SetMax(long long max) override { Max = max; }
    void SetPosition(long long position) override { Positions.push_back(position); }
    void Show() override {}
    void Hide() override {}
    long long Max = -1;
    std::vector<long long> Positions;
};

class FileTransfer : public testing::Test
{
protected:
    std::string Path(const char *name) const { return Folder.File(name); }

    cTempDir Folder{"dataclient_"};
    const std::int32_t Date = DateTimeToFileDate(EncodeDate(2023, 5, 17) + EncodeTime(10, 20, 30, 0));
    cRecordingHost Host_;
    cScopedHost Scoped{&Host_};
};
} // namespace

TEST_F(FileTransfer, GetFileInfo)
{
    // A date that does not fit a signed 32-bit number is no date (0), not one cut to 32 bits.
    const std::pair<const char *, std::int32_t> dates[] = {
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", 0},          {"4294967295", 0},
        {"-2147483649", 0},         {"6442450944", 0}};
    std::vector<cExchange> exchanges{
        {31002, 103, "Clients\\DorvaneProvider.exe", "FileSize=120000,FileDate=1234567"},
        {31002, 103, "x", "FileSize=abc"}};
    for (const auto &[text, date] : dates)
        exchanges.push_back({31002, 103, text, std::string("FileSize=1,FileDate=") + text});
    cScriptedPeer peer(false);
    ServeExchanges(peer, exchanges);
    dbServerConnection c("127.0.0.1", peer.PortText(), "", "", false, -1);
    EXPECT_EQ((std::vector<long long>{c.GetFileInfo("Clients\\DorvaneProvider.exe"), c.LastFileSize,
                                      c.GetFileInfo("x"), c.LastFileSize}),
              (std::vector<long long>{1234567, 120000, 0, 0}));
    for (const auto &[text, date] : dates)
        EXPECT_EQ(c.GetFileInfo(text), date) << text;
    peer.Join();
}

TEST_F(FileTransfer, DownloadInPiecesWithProgressAndDate)
{
    std::string data(120000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    for (bool tls : {false, true})
    {
        SCOPED_TRACE(tls ? "tls" : "plain");
        cScriptedPeer peer(tls);
        // The text reply after the file is read: the next exchange is in step.
        ServeExchanges(peer,
                       {{31002, 101, "Clients\\DorvaneProvider.exe", "OK", FileHeader(120000, Date) + data},
                        {31002, 103, "y", "FileSize=1,FileDate=2"},
                        {31002, 101, "f", "OK", FileHeader(0, Date)}});
        dbServerConnection c("127.0.0.1", peer.PortText(), "", "", tls, -1);
        cRecordingSink sink;
        const std::string path = Path("DorvaneProvider.exe.tmp");
        ASSERT_TRUE(WriteFile(path, "old content"));
        Host_.RepaintCount = 0;
        EXPECT_TRUE(c.DownloadFile("Clients\\DorvaneProvider.exe", path, &sink));
        EXPECT_EQ(sink.Max, 120000);
        EXPECT_EQ(sink.Positions, (std::vector<long long>{0, 50000, 100000, 120000}));
        // The bar is repainted after each piece (and more often if a piece is slow to come); the
        // windows only paint, nothing else runs.
        EXPECT_GE(Host_.RepaintCount, 3);
        EXPECT_EQ(Host_.ProcessMessagesCount, 0);
        EXPECT_TRUE(ReadFile(path) == data);
        EXPECT_EQ(FileAge(path), Date);
        EXPECT_EQ(c.GetFileInfo("y"), 2);
        // An empty server file gives false, but a dated empty file.
        const std::string empty = Path(tls ? "empty-tls" : "empty");
        EXPECT_FALSE(c.DownloadFile("f", empty));
        EXPECT_EQ(std::tuple(FileExists(empty), FileSize(empty), FileAge(empty)), std::tuple(true, 0, Date));
        peer.Join();
    }
}

TEST_F(FileTransfer, PicturesOfAChosenFieldReadGoIntoTheLocalFile)
{
    cScriptedPeer peer(false);
    ServeExchanges(
        peer, {{31001, 20013, "TableName=Personnel,List=1,Key=3,FieldList=f10,Picture=2", "Fields=f10=Ann",
                FileHeader(3, Date) + "abc" + FileHeader(2, Date) + "xy" + FileHeader(0, 0)}});
    dbServerConnection c("127.0.0.1", peer.PortText(), "", "", false, -1);
    const std::string path = Path("picture");
    std::string fields = "f10", notes;
    EXPECT_TRUE(c.ReadFields("Personnel", "3", fields, "", notes, 2, path));
    EXPECT_EQ(std::tuple(fields, ReadFile(path), FileAge(path)), std::tuple("f10=Ann", "xy", Date));
    peer.Join();

    fields = "f10";
    EXPECT_FALSE(c.ReadFields("Personnel", "3", fields, "", notes, 2, Path("no/such/folder/file")));
    EXPECT_EQ(fields, "\"Error=Couldn't create local file.\"");
}
