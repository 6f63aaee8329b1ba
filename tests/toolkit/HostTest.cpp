#include "toolkit/Host.h"
#include "toolkit/Files.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

// Without a window system the default host answers every box with Ok or Yes and logs it.
TEST(Host, DefaultIsHeadlessAndAnswersOkOrYes)
{
    cHost &host = Host();
    ASSERT_NE(dynamic_cast<cHeadlessHost *>(&host), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(host.MessageBox("text", "Caption", cHostButtons::Ok), cHostAnswer::Ok);
    EXPECT_EQ(host.MessageBox("question", "Confirm", cHostButtons::YesNo), cHostAnswer::Yes);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Caption"), std::string::npos);
    EXPECT_NE(err.find("text"), std::string::npos);
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

    // Missing, a folder, not executable, executable bits on nothing the kernel can run.
    const std::string plain = dir.Write("plain.txt", "not a program");
    const std::string junk = dir.Write("junk", "\x01\x02\x03 junk");
    ::chmod(junk.c_str(), 0755);
    for (const std::string &bad : {std::string(), dir.File("missing"), dir.Path, plain, junk})
        EXPECT_FALSE(StartDetachedProgram(bad)) << bad;
}
