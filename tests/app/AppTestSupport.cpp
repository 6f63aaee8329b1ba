#include "tests/app/AppTestSupport.h"

#include "app/QtHost.h"

#include <QElapsedTimer>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

void cProgramFolder::WriteIni(const std::string &dataPort, const std::string &functionPort) const
{
    Write("Dorvane.ini", "[DataServer]\r\nIP=127.0.0.1\r\nPort=" + dataPort +
                             "\r\n\r\n[FunctionServer]\r\nIP=127.0.0.1\r\nPort=" + functionPort + "\r\n");
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
