#include "toolkit/IniFile.h"
#include "toolkit/Files.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace
{
const char *const OddIni = "; a comment line\r\n"
                           "TopLevel=before any section\r\n"
                           "   [ DataServer ]   \r\n"
                           "  IP   =   10.0.0.1   \r\n"
                           "\tport\t=\t8700\t\r\n"
                           "\r\n"
                           "Quoted = \"  spaced value  \"\r\n"
                           "Single='x'\r\n"
                           "Mixed=\"a'\r\n"
                           "LoneQuote=\"\r\n"
                           "EmptyQuotes=\"\"\r\n"
                           "InnerQuote=a\"b\"c\r\n"
                           "Empty=\r\n"
                           "Equals=a=b\r\n"
                           "NoEquals\r\n"
                           "ip=second key of the same name\r\n"
                           "[FunctionServer]\n"
                           "IP=fs.example\n"
                           "Port=8701\n"
                           "[dataserver]\r"
                           "IP=from the repeated section\r"
                           "OnlyInRepeat=x\r"
                           "[Broken\n"
                           "Key=in broken\n";
} // namespace

class IniFileTest : public ::testing::Test
{
protected:
    cTempDir Dir;
    std::string Path;
    void SetUp() override { Path = Dir.Write("Dorvane.ini", OddIni); }
    std::string Read(const std::string &section, const std::string &key, const std::string &def = "DEF")
    {
        return cIniFile(Path).ReadString(section, key, def);
    }
};

TEST_F(IniFileTest, BlanksAroundSectionsKeysAndValuesAreTrimmed)
{
    EXPECT_EQ(Read("DataServer", "IP"), "10.0.0.1");
    EXPECT_EQ(Read("DataServer", "Port"), "8700");
    EXPECT_EQ(Read("  DataServer ", " IP "), "10.0.0.1");
}

TEST_F(IniFileTest, NamesIgnoreLetterCase)
{
    EXPECT_EQ(Read("dataserver", "ip"), "10.0.0.1");
    EXPECT_EQ(Read("DATASERVER", "PORT"), "8700");
    EXPECT_EQ(Read("functionserver", "iP"), "fs.example");
    EXPECT_EQ(Read("FunctionServer", "Port"), "8701");
}

TEST_F(IniFileTest, FirstKeyOfTheNameWins)
{
    EXPECT_EQ(Read("DataServer", "ip"), "10.0.0.1");
}

TEST_F(IniFileTest, RepeatedSectionIsNotSearched)
{
    EXPECT_EQ(Read("DataServer", "OnlyInRepeat"), "DEF");
}

TEST_F(IniFileTest, MatchingQuotesAreRemoved)
{
    EXPECT_EQ(Read("DataServer", "Quoted"), "  spaced value  ");
    EXPECT_EQ(Read("DataServer", "Single"), "x");
    EXPECT_EQ(Read("DataServer", "EmptyQuotes"), "");
}

TEST_F(IniFileTest, UnmatchedOrInnerQuotesStay)
{
    EXPECT_EQ(Read("DataServer", "Mixed"), "\"a'");
    EXPECT_EQ(Read("DataServer", "LoneQuote"), "\"");
    EXPECT_EQ(Read("DataServer", "InnerQuote"), "a\"b\"c");
}

TEST_F(IniFileTest, EmptyValueIsNotTheDefault)
{
    EXPECT_EQ(Read("DataServer", "Empty"), "");
}

TEST_F(IniFileTest, ValueRunsPastFurtherEquals)
{
    EXPECT_EQ(Read("DataServer", "Equals"), "a=b");
}

TEST_F(IniFileTest, MissingSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(Read("DataServer", "Missing"), "DEF");
    EXPECT_EQ(Read("DataServer", "NoEquals"), "DEF");
    EXPECT_EQ(Read("NoSuchSection", "IP"), "DEF");
    EXPECT_EQ(Read("DataServer", "TopLevel"), "DEF");
    EXPECT_EQ(Read("DataServer", "IP", ""), "10.0.0.1");
    EXPECT_EQ(Read("Nope", "IP", ""), "");
}

TEST_F(IniFileTest, HeaderWithoutClosingBracketIsNoSection)
{
    EXPECT_EQ(Read("Broken", "Key"), "DEF");
    // It is an ordinary line of the section before it.
    EXPECT_EQ(Read("FunctionServer", "Key"), "DEF");
}

TEST(IniFile, MissingFileGivesTheDefaultAndIsNotCreated)
{
    cTempDir dir;
    const std::string path = dir.File("Dorvane.ini");
    cIniFile ini(path);
    EXPECT_EQ(ini.FileName(), path);
    EXPECT_EQ(ini.ReadString("DataServer", "IP", ""), "");
    EXPECT_EQ(ini.ReadString("DataServer", "Port", "x"), "x");
    EXPECT_FALSE(FileExists(path));
}

TEST(IniFile, ReadingDoesNotChangeTheFile)
{
    cTempDir dir;
    const std::string text = "[A]\nk=v\n";
    const std::string path = dir.Write("x.ini", text);
    const long long size = FileSize(path);
    EXPECT_EQ(cIniFile(path).ReadString("A", "k", ""), "v");
    EXPECT_EQ(FileSize(path), size);
    EXPECT_EQ(cTempDir::Read(path), text);
}

TEST(IniFile, ByteOrderMarkAndLastLineWithoutEnd)
{
    EXPECT_EQ(cIniFile::ReadStringFromText("\xEF\xBB\xBF[S]\nk=v", "S", "k", "d"), "v");
    EXPECT_EQ(cIniFile::ReadStringFromText("", "S", "k", "d"), "d");
    EXPECT_EQ(cIniFile::ReadStringFromText("[S]", "S", "k", "d"), "d");
}

TEST(IniFile, FolderInsteadOfAFileGivesTheDefault)
{
    cTempDir dir;
    EXPECT_EQ(cIniFile(dir.Path).ReadString("S", "k", "d"), "d");
}

TEST(IniFile, UnquoteValue)
{
    EXPECT_EQ(cIniFile::UnquoteValue("\"a\""), "a");
    EXPECT_EQ(cIniFile::UnquoteValue("'a'"), "a");
    EXPECT_EQ(cIniFile::UnquoteValue("'a\""), "'a\"");
    EXPECT_EQ(cIniFile::UnquoteValue("'"), "'");
    EXPECT_EQ(cIniFile::UnquoteValue(""), "");
}
