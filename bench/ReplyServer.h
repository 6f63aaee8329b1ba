// A function server on loopback for the benchmarks: it answers every NUL-terminated request on
// any of its links with one fixed reply. Header-only: each benchmark binary builds its own copy.
#pragma once

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace bench
{
// A listening socket on a free loopback port; the port's number goes to port.
inline int ListenOnLoopback(int &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(fd, 16);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

class cReplyServer
{
public:
    explicit cReplyServer(const std::string &reply) : Answer(reply + std::string(1, '\0'))
    {
        Listener = ListenOnLoopback(Port);
        Acceptor = std::thread([this] { Accept(); });
    }
    ~cReplyServer()
    {
        Stop = true;
        ::shutdown(Listener, SHUT_RDWR);
        Acceptor.join();
        ::close(Listener);
        // The links are joined without the lock: each takes it once more as it ends.
        std::vector<std::thread> links;
        {
            std::lock_guard<std::mutex> lock(Mutex);
            for (int link : Open)
                ::shutdown(link, SHUT_RDWR);
            links.swap(Links);
        }
        for (std::thread &t : links)
            t.join();
    }
    cReplyServer(const cReplyServer &) = delete;
    cReplyServer &operator=(const cReplyServer &) = delete;

    int Port = 0;

private:
    void Accept()
    {
        while (!Stop)
        {
            const int link = ::accept4(Listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (link < 0)
                return;
            std::lock_guard<std::mutex> lock(Mutex);
            Open.push_back(link);
            Links.emplace_back([this, link] { Serve(link); });
        }
    }

    void Serve(int link)
    {
        char buffer[65536];
        while (!Stop)
        {
            const ssize_t got = ::recv(link, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            if (buffer[got - 1] != '\0')
                continue; // the rest of the request is still to come
            for (std::size_t sent = 0; sent < Answer.size();)
            {
                const ssize_t n = ::send(link, Answer.data() + sent, Answer.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += static_cast<std::size_t>(n);
            }
        }
        std::lock_guard<std::mutex> lock(Mutex);
        std::erase(Open, link);
        ::close(link);
    }

    const std::string Answer;
    int Listener = -1;
    std::atomic<bool> Stop{false};
    std::thread Acceptor;
    std::mutex Mutex;
    std::vector<int> Open; // links not yet closed
    std::vector<std::thread> Links;
};
} // namespace bench
