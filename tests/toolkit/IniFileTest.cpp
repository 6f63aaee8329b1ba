#include "toolkit/IniFile.h"
#include "toolkit/Files.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(IniFile, OddSpacingQuotesRepeatsAndMissingKeys)
{
    cTempDir dir;
    const std::string text = "; a comment line\r\n"
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
    const std::string path = dir.Write("Dorvane.ini", text);
    const struct
    {
        const char *section, *key, *def, *expected;
    } cases[] = {// Blanks around sections, keys and values trimmed; names ignore letter case.
                 {"DataServer", "IP", "DEF", "10.0.0.1"},
                 {"  DataServer ", " IP ", "DEF", "10.0.0.1"},
                 {"DATASERVER", "PORT", "DEF", "8700"},
                 {"functionserver", "iP", "DEF", "fs.example"},
                 {"FunctionServer", "Port", "DEF", "8701"},
                 // Matching quotes are removed; unmatched or inner ones stay.
                 {"DataServer", "Quoted", "DEF", "  spaced value  "},
                 {"DataServer", "Single", "DEF", "x"},
                 {"DataServer", "EmptyQuotes", "DEF", ""},
                 {"DataServer", "Mixed", "DEF", "\"a'"},
                 {"DataServer", "LoneQuote", "DEF", "\""},
                 {"DataServer", "InnerQuote", "DEF", "a\"b\"c"},
                 // An empty value is not the default; a value runs past further '='.
                 {"DataServer", "Empty", "DEF", ""},
                 {"DataServer", "Equals", "DEF", "a=b"},
                 // Only the first section of a name is searched.
                 {"DataServer", "OnlyInRepeat", "DEF", "DEF"},
                 // Missing keys and sections give the default.
                 {"DataServer", "Missing", "DEF", "DEF"},
                 {"DataServer", "NoEquals", "DEF", "DEF"},
                 {"DataServer", "TopLevel", "DEF", "DEF"},
                 {"NoSuchSection", "IP", "DEF", "DEF"},
                 // A '[' line without ']' is no section, just an ordinary line of the section before it.
                 {"Broken", "Key", "DEF", "DEF"},
                 {"FunctionServer", "Key", "DEF", "DEF"}};
    const cIniFile ini(path);
    for (const auto &c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, c.def), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ReadFile(path), text); // reading never writes
}

TEST(IniFile, MissingFileOrFolderGivesTheDefaultAndNothingIsCreated)
{
    cTempDir dir;
    const std::string path = dir.File("Dorvane.ini");
    cIniFile ini(path);
    EXPECT_EQ(ini.FileName(), path);
    EXPECT_EQ(ini.ReadString("DataServer", "Port", "x"), "x");
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(cIniFile(dir.Path).ReadString("S", "k", "d"), "d");
}

TEST(IniFile, ByteOrderMarkLastLineWithoutEndAndUnquoting)
{
    EXPECT_EQ(cIniFile::ReadStringFromText("\xEF\xBB\xBF[S]\nk=v", "S", "k", "d"), "v");
    EXPECT_EQ(cIniFile::ReadStringFromText("", "S", "k", "d"), "d");
    EXPECT_EQ(cIniFile::ReadStringFromText("[S]", "S", "k", "d"), "d");
    EXPECT_EQ(cIniFile::UnquoteValue("'"), "'");
    EXPECT_EQ(cIniFile::UnquoteValue(""), "");
}
