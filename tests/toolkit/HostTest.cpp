#include "toolkit/Host.h"
#include "toolkit/Files.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

TEST(Host, DefaultIsHeadlessAnswersOkOrYesAndOnlyRecordsTerminate)
{
    cHost &host = Host();
    EXPECT_NE(dynamic_cast<cHeadlessHost *>(&host), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host.MessageBox("text", "Caption", cHostButtons::Ok), cHostAnswer::Ok);
    EXPECT_EQ(host.MessageBox("question", "Confirm", cHostButtons::YesNo), cHostAnswer::Yes);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Caption"), std::string::npos);
    EXPECT_NE(err.find("text"), std::string::npos);
    cHeadlessHost headless;
    headless.Terminate();
    EXPECT_TRUE(headless.TerminateRequested);
}

TEST(Host, ScopedHostsNestAndSetHostNullRestoresTheDefault)
{
    cRecordingHost outer, inner;
    cHost *before = &Host();
    {
        cScopedHost a(&outer);
        {
            cScopedHost b(&inner);
            EXPECT_EQ(&Host(), &inner);
        }
        EXPECT_EQ(&Host(), &outer);
    }
    EXPECT_EQ(&Host(), before);
    SetHost(&outer);
    EXPECT_EQ(&Host(), &outer);
    SetHost(nullptr);
    EXPECT_NE(dynamic_cast<cHeadlessHost *>(&Host()), nullptr);
}

TEST(Host, StartDetachedProgram)
{
    cTempDir dir;
    const std::string marker = dir.File("started");
    const std::string script = dir.Write("run.sh", "#!/bin/sh\necho started > '" + marker + "'\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
    ASSERT_TRUE(cHeadlessHost().StartProgram(script));
    for (int i = 0; i < 100 && ReadFile(marker) != "started\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadFile(marker), "started\n");

    EXPECT_FALSE(StartDetachedProgram(""));
    EXPECT_FALSE(StartDetachedProgram(dir.File("missing")));
    EXPECT_FALSE(StartDetachedProgram(dir.Path)); // a folder
    const std::string plain = dir.Write("plain.txt", "not a program");
    ::chmod(plain.c_str(), 0644);
    EXPECT_FALSE(StartDetachedProgram(plain));
    // Executable bits but nothing the kernel can run.
    const std::string junk = dir.Write("junk", "\x01\x02\x03 junk");
    ::chmod(junk.c_str(), 0755);
    EXPECT_FALSE(StartDetachedProgram(junk));
}
