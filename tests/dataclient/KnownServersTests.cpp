// Trust on first use of the data server's certificate: the file of known servers, its rules and
// its survival of a crash in the middle of its rewrite.
#include "dataclient/KnownServers.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace
{
const std::string DigestA(64, 'a');
const std::string DigestB = std::string(32, '0') + std::string(32, 'b');

// The trust and the line, to compare in one go.
std::pair<eServerTrust, std::string> Checked(const std::string &path, const std::string &server,
                                             const std::string &digest)
{
    const cServerTrust trust = CheckKnownServer(path, server, digest);
    return {trust.Trust, trust.Line};
}

// The names in a folder.
std::vector<std::string> Names(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(KnownServers, FileLivesInTheUsersConfigurationFolder)
{
    // XDG_CONFIG_HOME, HOME, and the path.
    const std::tuple<const char *, const char *, std::string> cases[] = {
        {"/xdg", "/home/ann", "/xdg/Dorvane/KnownServers"},
        {"/xdg/", nullptr, "/xdg/Dorvane/KnownServers"},
        {"relative", "/home/ann/", "/home/ann/.config/Dorvane/KnownServers"},
        {nullptr, "/home/ann", "/home/ann/.config/Dorvane/KnownServers"},
        {"/xdg//", nullptr, "/xdg/Dorvane/KnownServers"},
        {nullptr, "/", "/.config/Dorvane/KnownServers"},
        {"/", "/home/ann", "/Dorvane/KnownServers"},
        {"", "relative", ""},
        {nullptr, nullptr, ""},
    };
    for (const auto &[xdg, home, path] : cases)
        EXPECT_EQ(KnownServersPath(xdg, home), path)
            << (xdg ? xdg : "(unset)") << " " << (home ? home : "(unset)");
}

TEST(KnownServers, FirstContactIsRememberedAndLaterCertificatesAreCompared)
{
    cTempDir folder;
    const std::string path = folder.File("config/Dorvane/KnownServers"); // folders made on first use
    const std::string lineA = "10.0.0.1:8700 " + DigestA;
    EXPECT_EQ(Checked(path, "10.0.0.1:8700", DigestA), std::pair(eServerTrust::FirstContact, lineA));
    const std::string afterFirst = ReadFile(path);
    // The same certificate, written as some tools print it, is the same.
    std::string upperWithColons;
    for (std::size_t i = 0; i < DigestA.size(); i += 2)
        upperWithColons += (i ? ":" : "") + std::string(2, 'A');
    const std::tuple<const char *, std::string, eServerTrust, std::string> cases[] = {
        {"same certificate", DigestA, eServerTrust::Known, lineA},
        {"same, upper case with colons", upperWithColons, eServerTrust::Known, lineA},
        {"another certificate", DigestB, eServerTrust::Changed, lineA},
    };
    for (const auto &[what, digest, trust, line] : cases)
        EXPECT_EQ(Checked(path, "10.0.0.1:8700", digest), std::pair(trust, line)) << what;
    EXPECT_EQ(ReadFile(path), afterFirst) << "a known or changed server writes nothing";

    // Another port is another server; the user's own lines and comments stay as they were.
    WriteFile(path, afterFirst + "\n# moved in May\n  10.0.0.2:8700\t" + DigestB +
                        "  \r\n10.0.0.3:8700 not-a-digest");
    const std::string edited = ReadFile(path);
    EXPECT_EQ(Checked(path, "10.0.0.1:8701", DigestB),
              std::pair(eServerTrust::FirstContact, "10.0.0.1:8701 " + DigestB));
    EXPECT_EQ(ReadFile(path), edited + "\n10.0.0.1:8701 " + DigestB + "\n");
    EXPECT_EQ(Checked(path, "10.0.0.2:8700", DigestB).first, eServerTrust::Known);
    // A line that holds no digest never matches: the user is asked to delete it.
    EXPECT_EQ(Checked(path, "10.0.0.3:8700", DigestA),
              std::pair(eServerTrust::Changed, std::string("10.0.0.3:8700 not-a-digest")));
}

TEST(KnownServers, WhatCannotBeRememberedFailsWithAReason)
{
    cTempDir folder;
    const std::string blocked = folder.Write("not-a-folder", "x");
    // Path, digest, and a word the reason must hold.
    const std::tuple<const char *, std::string, std::string, const char *> cases[] = {
        {"no configuration folder", "", DigestA, "HOME"},
        {"no certificate", folder.File("KnownServers"), "", "certificate"},
        {"a digest too short", folder.File("KnownServers"), DigestA.substr(1), "certificate"},
        {"folder is a file", blocked + "/KnownServers", DigestA, "cannot"},
    };
    for (const auto &[what, path, digest, reason] : cases)
    {
        const cServerTrust trust = CheckKnownServer(path, "10.0.0.1:8700", digest);
        EXPECT_EQ(trust.Trust, eServerTrust::Failed) << what;
        EXPECT_NE(trust.Error.find(reason), std::string::npos) << what << ": " << trust.Error;
    }
    EXPECT_EQ(Names(folder.Path), std::vector<std::string>{"not-a-folder"}) << "nothing was left behind";
}

// The rewrite is killed by the file-size limit (SIGXFSZ) in the middle of writing: the file keeps
// its previous bytes, and the next start reads and extends it as if nothing had happened.
TEST(KnownServers, FileSurvivesACrashDuringItsWrite)
{
    cTempDir folder;
    const std::string path = folder.File("KnownServers");
    ASSERT_EQ(Checked(path, "10.0.0.1:8700", DigestA).first, eServerTrust::FirstContact);
    const std::string before = ReadFile(path);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        // Room for fewer bytes than the new file holds: the write dies half-way.
        const rlimit limit{before.size() + 10, before.size() + 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CheckKnownServer(path, "10.0.0.2:8700", DigestB);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the write did not crash";
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);

    EXPECT_EQ(ReadFile(path), before);
    const std::vector<std::string> left = Names(folder.Path);
    ASSERT_EQ(left.size(), 2u) << "the half-written file under its temporary name";
    EXPECT_EQ(left[1].rfind("KnownServers.", 0), 0u);
    EXPECT_LE(ReadFile(folder.File(left[1])).size(), before.size() + 10);
    EXPECT_EQ(Checked(path, "10.0.0.1:8700", DigestA).first, eServerTrust::Known);
    EXPECT_EQ(Checked(path, "10.0.0.2:8700", DigestB).first, eServerTrust::FirstContact);
    EXPECT_EQ(Checked(path, "10.0.0.1:8700", DigestA).first, eServerTrust::Known);
}
