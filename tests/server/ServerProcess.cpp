#include "tests/server/ServerProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

cServerProcess::~cServerProcess()
{
    Stop();
    if (!Folder.empty())
    {
        std::error_code ec;
        std::filesystem::remove_all(Folder, ec);
    }
}

bool cServerProcess::Start(const std::vector<std::string> &extra)
{
    if (Folder.empty())
    {
        char pattern[] = "/tmp/dorvane_server_test_XXXXXX";
        if (!mkdtemp(pattern))
            return false;
        Folder = pattern;
    }
    int out[2];
    if (pipe(out) != 0)
        return false;
    std::vector<std::string> args = {DORVANE_SERVER_BINARY, "--data", Folder};
    args.insert(args.end(), extra.begin(), extra.end());
    Pid = fork();
    if (Pid == 0)
    {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        std::vector<char *> argv;
        for (auto &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline)
    {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 200) <= 0)
            continue;
        char buffer[256];
        ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    return std::sscanf(line.c_str(), "data-port=%d function-port=%d", &DataPort, &FunctionPort) == 2;
}

bool cServerProcess::Running()
{
    if (Pid <= 0)
        return false;
    int status = 0;
    if (waitpid(Pid, &status, WNOHANG) == Pid)
    {
        Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        Pid = -1;
        return false;
    }
    return true;
}

void cServerProcess::Stop()
{
    if (Pid <= 0)
        return;
    kill(Pid, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Running() && std::chrono::steady_clock::now() < deadline)
        usleep(20000);
    if (Pid > 0)
    {
        kill(Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
        Pid = -1;
    }
}

std::unique_ptr<SecureSocket> RawDataConnection(int port)
{
    auto socket = std::make_unique<SecureSocket>();
    if (socket->Connect("127.0.0.1", port) != SOCK_SUCCESS)
        return nullptr;
    return socket;
}

std::unique_ptr<PlainSocket> RawFunctionConnection(int port)
{
    auto socket = std::make_unique<PlainSocket>();
    if (socket->Connect("127.0.0.1", port) != SOCK_SUCCESS)
        return nullptr;
    return socket;
}

std::string Frame(std::uint32_t bodyLength, std::int32_t code, std::int32_t arg, const std::string &body)
{
    std::string frame;
    for (std::uint32_t v : {bodyLength, static_cast<std::uint32_t>(code), static_cast<std::uint32_t>(arg)})
        for (int i = 0; i < 4; ++i)
            frame += static_cast<char>((v >> (8 * i)) & 0xff);
    return frame + body;
}

bool ReadReply(PlainSocket &socket, std::string &reply, int seconds)
{
    reply.clear();
    std::vector<char> buffer(50001);
    for (;;)
    {
        int n = socket.ReceiveUntilNul(buffer.data(), 50000, seconds, 0);
        if (n < 0)
            return false;
        if (n > 0)
        {
            reply.append(buffer.data(), static_cast<size_t>(n - 1));
            return true;
        }
        reply.append(buffer.data(), 50000);
    }
}

bool ClosedByPeer(PlainSocket &socket, int seconds)
{
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline)
    {
        int n = socket.ReceiveBytes(buffer, sizeof buffer, 1, 0);
        if (n < 0 || socket.GetState() != SOCK_STATE_CONNECTED)
            return true;
        if (n == 0 && !socket.IsConnected())
            return true;
    }
    return false;
}
