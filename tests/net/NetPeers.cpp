#include "tests/net/NetPeers.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace nettest
{
namespace
{
// Runs a TLS write of the server end with SIGPIPE held back and dropped: the client may have gone
// already, and the signal must stay visible only to the client code under test.
template <class Write> int WithoutSigpipe(Write write)
{
    sigset_t pipe, old;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    int result = write();
    timespec zero{0, 0};
    sigtimedwait(&pipe, nullptr, &zero);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return result;
}
} // namespace

Listener::Listener()
{
    fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        listen(fd, 16) != 0 || getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        throw std::runtime_error("listener");
    port = ntohs(address.sin_port);
}

Listener::~Listener()
{
    close(fd);
}

int Listener::Accept()
{
    if (!WaitReadable(fd, 5000))
        return -1;
    int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
    timeval tv{5, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    return client;
}

int ClosedPort()
{
    return Listener().Port(); // closed again when the listener goes
}

PeerThread::PeerThread(std::function<void()> body)
    : thread(
          [body = std::move(body)]
          {
              sigset_t set;
              sigemptyset(&set);
              sigaddset(&set, SIGPIPE);
              pthread_sigmask(SIG_BLOCK, &set, nullptr);
              body();
          })
{
}

void PeerThread::Join()
{
    if (thread.joinable())
        thread.join();
}

ServerEnd::ServerEnd(bool tls, eTestCertificate certificate)
    : context(tls ? NewTestServerContext(certificate) : nullptr),
      accepting(
          [this]
          {
              Fd = listener.Accept();
              if (Fd < 0 || context == nullptr)
                  return;
              ssl = SSL_new(context);
              SSL_set_fd(ssl, Fd);
              handshakeDone = SSL_accept(ssl) == 1;
          })
{
}

ServerEnd::~ServerEnd()
{
    accepting.Join();
    Close();
    SSL_CTX_free(context);
    ERR_clear_error();
}

bool ServerEnd::Accepted()
{
    accepting.Join();
    return Fd >= 0 && (context == nullptr || handshakeDone);
}

bool ServerEnd::Send(std::string_view bytes)
{
    if (ssl == nullptr)
        return SendAll(Fd, bytes);
    const int length = static_cast<int>(bytes.size());
    return length == 0 || WithoutSigpipe([&] { return SSL_write(ssl, bytes.data(), length); }) == length;
}

bool ServerEnd::Recv(void *data, std::size_t length)
{
    char *p = static_cast<char *>(data);
    while (length > 0)
    {
        long n = ssl != nullptr ? SSL_read(ssl, p, static_cast<int>(length)) : recv(Fd, p, length, 0);
        if (n <= 0)
            return false;
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string ServerEnd::RecvUntilNul()
{
    std::string text;
    char c;
    while (Recv(&c, 1) && c != 0)
        text += c;
    return text;
}

void ServerEnd::Close()
{
    if (ssl != nullptr && handshakeDone)
        WithoutSigpipe([&] { return SSL_shutdown(ssl); });
    SSL_free(ssl);
    ssl = nullptr;
    if (Fd >= 0)
        close(Fd);
    Fd = -1;
}

void ServerEnd::Reset()
{
    linger l{1, 0};
    setsockopt(Fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    handshakeDone = false; // no close notification
    Close();
}

bool SendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool BufferUntil(PlainSocket &socket, std::uint32_t count)
{
    for (int i = 0; i < 500 && socket.BufferedCount() < count; ++i)
        if (socket.WaitForData(true, 0, 10000) == SOCK_ERROR)
            return false;
    return socket.BufferedCount() >= count;
}

bool WaitReadable(int fd, int milliseconds)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, milliseconds) == 1;
}

namespace
{
struct cFolder
{
    std::string Path;
    cFolder()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/dorvane_net_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp");
        Path = pattern;
    }
    ~cFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};
} // namespace

std::string PatternFile(std::size_t size)
{
    static cFolder folder;
    static int made = 0;
    std::string path = folder.Path + "/file" + std::to_string(++made);
    std::string data(size, 0);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 131) >> 3);
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
    return path;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace nettest
