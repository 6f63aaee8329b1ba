#include "tests/app/AppTestSupport.h"

#include "app/QtHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <arpa/inet.h>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

std::string cTestServer::Error;

cTestServer *cTestServer::Instance()
{
    static std::unique_ptr<cTestServer> server;
    static bool tried = false;
    if (!tried)
    {
        tried = true;
        server.reset(new cTestServer);
        if (!server->Start())
            server.reset();
    }
    return server.get();
}

bool cTestServer::Start()
{
#ifndef DORVANE_SERVER_PATH
    Error = "DorvaneServer is not part of this build";
    return false;
#else
    if (!Folder.isValid())
    {
        Error = "no temporary folder";
        return false;
    }
    DataFolder = Folder.path().toStdString() + "/";
    ClientsFolder = DataFolder + "files/Clients/";
    QDir().mkpath(QString::fromStdString(ClientsFolder));
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Process.start(DORVANE_SERVER_PATH, {"--data", Folder.path(), "--data-port", "0", "--function-port", "0"});
    if (!Process.waitForStarted(30000))
    {
        Error = "DorvaneServer did not start";
        return false;
    }
    // Bounded wait for the line with the two ports.
    static const QRegularExpression portsLine("data-port=(\\d+) function-port=(\\d+)");
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000)
    {
        Process.waitForReadyRead(1000);
        output += Process.readAllStandardOutput();
        QRegularExpressionMatch match = portsLine.match(QString::fromUtf8(output));
        if (match.hasMatch())
        {
            DataPort = match.captured(1).toInt();
            FunctionPort = match.captured(2).toInt();
            return true;
        }
        if (Process.state() == QProcess::NotRunning)
            break;
    }
    Error = "DorvaneServer did not report its ports";
    return false;
#endif
}

cTestServer::~cTestServer()
{
    if (Process.state() != QProcess::NotRunning)
    {
        Process.terminate();
        if (!Process.waitForFinished(10000))
            Process.kill();
        Process.waitForFinished(5000);
    }
}

cProgramFolder::cProgramFolder() : Dir(QDir::tempPath() + "/dorvane app test XXXXXX")
{
    Path = Dir.path().toStdString() + "/";
}

void cProgramFolder::WriteIni(const std::string &dataPort, const std::string &functionPort,
                              const std::string &address) const
{
    WriteFile(Path + "Dorvane.ini", "[DataServer]\r\nIP=" + address + "\r\nPort=" + dataPort +
                                        "\r\n\r\n[FunctionServer]\r\nIP=" + address +
                                        "\r\nPort=" + functionPort + "\r\n");
}

void WriteFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int UnusedPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
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

bool WaitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition())
    {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}
