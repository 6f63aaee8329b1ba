#include "tests/app/AppTestSupport.h"

#include "app/QtHost.h"
#include "state/Session.h"
#include "state/ServerLinks.h"
#include "toolkit/DateTime.h"
#include "toolkit/Files.h"
#include "ui/Forms.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

void cProgramFolder::WriteIni(const std::string &dataPort, const std::string &functionPort,
                              const std::string &dataServerLines, const std::string &updateLines) const
{
    Write("Dorvane.ini", "[DataServer]\r\nIP=127.0.0.1\r\nPort=" + dataPort + "\r\n" + dataServerLines +
                             "\r\n[FunctionServer]\r\nIP=127.0.0.1\r\nPort=" + functionPort + "\r\n" +
                             (updateLines.empty() ? "" : "\r\n[Update]\r\n" + updateLines));
}

int UnusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool cLaunchingHost::StartProgram(const std::string &path)
{
    cRecordingHost::StartProgram(path);
    return cQtHost().StartProgram(path);
}

std::vector<std::string> Shown(const cRecordingHost &host)
{
    std::vector<std::string> lines;
    for (const auto &message : host.Messages)
        lines.push_back(message.Caption + " | " + message.Text + " | " +
                        (message.Buttons == cHostButtons::Ok ? "Ok" : "YesNo"));
    return lines;
}

void cLoginTest::SetUp()
{
    ASSERT_GT(Server.DataPort, 0) << Server.Error;
    WriteFile(Executable, "running copy");
    MainForm = Main.get();
}

void cLoginTest::TearDown()
{
    Login.reset();
    Session().Close();
    DeleteFile(ServerCopy);
    MainForm = nullptr;
    LoginForm = nullptr;
}

void cLoginTest::ShowLogin()
{
    Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
    LoginForm = Login.get();
    Login->show();
    ASSERT_TRUE(WaitUntil([] { return Session().DataServerConnection() != nullptr; }));
}

void cLoginTest::PutNewerServerCopy()
{
    WriteFile(ServerCopy, "newer copy");
    FileSetDate(Executable, DateTimeToFileDate(EncodeDate(2020, 1, 1)));
    FileSetDate(ServerCopy, DateTimeToFileDate(EncodeDate(2024, 1, 1)));
}
