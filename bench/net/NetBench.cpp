// Transport benchmarks: each figure of PlainSocket / SecureSocket beside a bare POSIX / OpenSSL
// loop that does the same work against the same loopback peer, in the same program.
//
//   exchange: a 40-byte request, then a 200-byte reply that ends with a NUL (the data client's
//             pattern: Send, then ReceiveUntilNul with max 50,000)
//   bulk:     a peer streams without pause; the client takes 50,000-byte pieces (ReceiveBytes)
//
// At the end a table gives, for each pair, the socket's time over the bare loop's time.
#include "net/PlainSocket.h"
#include "net/SecureSocket.h"
#include "tests/support/TestCertificates.h"

#include <benchmark/benchmark.h>

#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int RequestSize = 40;
constexpr int ReplySize = 200; // including the NUL
constexpr int Piece = 50000;

// ---- loopback peer ---------------------------------------------------------------------------

// A one-client TCP server on 127.0.0.1, run on its own thread with SIGPIPE blocked.
class Peer
{
public:
    explicit Peer(std::function<void(int fd)> body)
    {
        listenFd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (bind(listenFd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || listen(listenFd, 1) != 0 ||
            getsockname(listenFd, reinterpret_cast<sockaddr *>(&a), &n) != 0)
            throw std::runtime_error("listen");
        port = ntohs(a.sin_port);
        thread = std::thread(
            [this, body = std::move(body)]
            {
                sigset_t set;
                sigemptyset(&set);
                sigaddset(&set, SIGPIPE);
                pthread_sigmask(SIG_BLOCK, &set, nullptr);
                int fd = accept(listenFd, nullptr, nullptr);
                if (fd < 0)
                    return;
                int one = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                body(fd);
                close(fd);
            });
    }
    ~Peer()
    {
        thread.join();
        close(listenFd);
    }
    int Port() const { return port; }

private:
    int listenFd = -1;
    int port = 0;
    std::thread thread;
};

// The bare client: the same options as the socket classes set.
int BareConnect(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1, size = 131072;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0)
        throw std::runtime_error("connect");
    return fd;
}

// ---- TLS material ----------------------------------------------------------------------------

struct Tls
{
    SSL_CTX *server = nullptr;
    SSL_CTX *bareClient = nullptr;
    Tls()
    {
        server = NewTestServerContext();
        bareClient = SSL_CTX_new(TLS_client_method());
    }
    ~Tls()
    {
        SSL_CTX_free(server);
        SSL_CTX_free(bareClient);
    }
};

Tls &TlsMaterial()
{
    static Tls tls;
    return tls;
}

// Runs `body` as the TLS server side of the accepted descriptor.
std::function<void(int)> TlsServer(std::function<void(SSL *)> body)
{
    return [body = std::move(body)](int fd)
    {
        SSL *ssl = SSL_new(TlsMaterial().server);
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) == 1)
            body(ssl);
        SSL_free(ssl);
        ERR_clear_error();
    };
}

SSL *BareTlsConnect(int fd)
{
    SSL *ssl = SSL_new(TlsMaterial().bareClient);
    SSL_set_fd(ssl, fd);
    if (SSL_connect(ssl) != 1)
        throw std::runtime_error("SSL_connect");
    return ssl;
}

// ---- peers' work -----------------------------------------------------------------------------

const std::string &Reply()
{
    static const std::string reply = std::string(ReplySize - 1, 'r') + '\0';
    return reply;
}

bool ReadExactly(int fd, char *p, int n)
{
    while (n > 0)
    {
        ssize_t got = recv(fd, p, static_cast<std::size_t>(n), 0);
        if (got <= 0)
            return false;
        p += got;
        n -= static_cast<int>(got);
    }
    return true;
}

void PlainAnswerer(int fd)
{
    char request[RequestSize];
    while (ReadExactly(fd, request, RequestSize))
        if (send(fd, Reply().data(), ReplySize, MSG_NOSIGNAL) != ReplySize)
            return;
}

void TlsAnswerer(SSL *ssl)
{
    char request[RequestSize];
    for (;;)
    {
        int got = 0;
        while (got < RequestSize)
        {
            int n = SSL_read(ssl, request + got, RequestSize - got);
            if (n <= 0)
                return;
            got += n;
        }
        if (SSL_write(ssl, Reply().data(), ReplySize) != ReplySize)
            return;
    }
}

void PlainStreamer(int fd)
{
    std::vector<char> data(1 << 20, 'b');
    while (send(fd, data.data(), data.size(), MSG_NOSIGNAL) > 0)
    {
    }
}

void TlsStreamer(SSL *ssl)
{
    std::vector<char> data(1 << 20, 'b');
    while (SSL_write(ssl, data.data(), static_cast<int>(data.size())) > 0)
    {
    }
}

const char *Request()
{
    static const std::string request(RequestSize, 'q');
    return request.data();
}

// ---- exchanges -------------------------------------------------------------------------------

void Exchange_Plain_Socket(benchmark::State &state)
{
    Peer peer(PlainAnswerer);
    PlainSocket socket;
    if (socket.Connect("127.0.0.1", peer.Port()) != SOCK_SUCCESS)
        return state.SkipWithError("connect");
    std::vector<char> buffer(50001);
    for (auto _ : state)
    {
        socket.Send(Request(), RequestSize);
        if (socket.ReceiveUntilNul(buffer.data(), 50000, -1, 0) != ReplySize)
            return state.SkipWithError("reply");
    }
    socket.Close();
}

void Exchange_Plain_Bare(benchmark::State &state)
{
    Peer peer(PlainAnswerer);
    int fd = BareConnect(peer.Port());
    std::vector<char> buffer(65536);
    for (auto _ : state)
    {
        send(fd, Request(), RequestSize, MSG_NOSIGNAL);
        std::size_t held = 0;
        for (;;)
        {
            ssize_t n = recv(fd, buffer.data() + held, buffer.size() - held, 0);
            if (n <= 0)
                return state.SkipWithError("reply");
            bool end = std::memchr(buffer.data() + held, 0, static_cast<std::size_t>(n)) != nullptr;
            held += static_cast<std::size_t>(n);
            if (end)
                break;
        }
    }
    shutdown(fd, SHUT_WR);
    close(fd);
}

void Exchange_Tls_Socket(benchmark::State &state)
{
    Peer peer(TlsServer(TlsAnswerer));
    SecureSocket socket;
    if (socket.Connect("127.0.0.1", peer.Port()) != SOCK_SUCCESS)
        return state.SkipWithError("connect");
    std::vector<char> buffer(50001);
    for (auto _ : state)
    {
        socket.Send(Request(), RequestSize);
        if (socket.ReceiveUntilNul(buffer.data(), 50000, -1, 0) != ReplySize)
            return state.SkipWithError("reply");
    }
    socket.Close();
}

void Exchange_Tls_Bare(benchmark::State &state)
{
    Peer peer(TlsServer(TlsAnswerer));
    int fd = BareConnect(peer.Port());
    SSL *ssl = BareTlsConnect(fd);
    std::vector<char> buffer(65536);
    for (auto _ : state)
    {
        SSL_write(ssl, Request(), RequestSize);
        std::size_t held = 0;
        for (;;)
        {
            int n = SSL_read(ssl, buffer.data() + held, static_cast<int>(buffer.size() - held));
            if (n <= 0)
                return state.SkipWithError("reply");
            bool end = std::memchr(buffer.data() + held, 0, static_cast<std::size_t>(n)) != nullptr;
            held += static_cast<std::size_t>(n);
            if (end)
                break;
        }
    }
    SSL_shutdown(ssl);
    SSL_free(ssl);
    close(fd);
}

// ---- bulk receive ----------------------------------------------------------------------------

void Bulk_Plain_Socket(benchmark::State &state)
{
    Peer peer(PlainStreamer);
    PlainSocket socket;
    if (socket.Connect("127.0.0.1", peer.Port()) != SOCK_SUCCESS)
        return state.SkipWithError("connect");
    std::vector<char> buffer(Piece);
    for (auto _ : state)
        if (socket.ReceiveBytes(buffer.data(), Piece, -1, 0) != Piece)
            return state.SkipWithError("piece");
    state.SetBytesProcessed(state.iterations() * Piece);
    socket.Close();
}

void Bulk_Plain_Bare(benchmark::State &state)
{
    Peer peer(PlainStreamer);
    int fd = BareConnect(peer.Port());
    std::vector<char> buffer(Piece);
    for (auto _ : state)
        if (!ReadExactly(fd, buffer.data(), Piece))
            return state.SkipWithError("piece");
    state.SetBytesProcessed(state.iterations() * Piece);
    shutdown(fd, SHUT_RDWR);
    close(fd);
}

void Bulk_Tls_Socket(benchmark::State &state)
{
    Peer peer(TlsServer(TlsStreamer));
    SecureSocket socket;
    if (socket.Connect("127.0.0.1", peer.Port()) != SOCK_SUCCESS)
        return state.SkipWithError("connect");
    std::vector<char> buffer(Piece);
    for (auto _ : state)
        if (socket.ReceiveBytes(buffer.data(), Piece, -1, 0) != Piece)
            return state.SkipWithError("piece");
    state.SetBytesProcessed(state.iterations() * Piece);
    shutdown(socket.GetSocket(), SHUT_RDWR); // stops the streamer at once
    socket.Close();
}

void Bulk_Tls_Bare(benchmark::State &state)
{
    Peer peer(TlsServer(TlsStreamer));
    int fd = BareConnect(peer.Port());
    SSL *ssl = BareTlsConnect(fd);
    std::vector<char> buffer(Piece);
    for (auto _ : state)
    {
        int got = 0;
        while (got < Piece)
        {
            int n = SSL_read(ssl, buffer.data() + got, Piece - got);
            if (n <= 0)
                return state.SkipWithError("piece");
            got += n;
        }
    }
    state.SetBytesProcessed(state.iterations() * Piece);
    shutdown(fd, SHUT_RDWR);
    SSL_free(ssl);
    close(fd);
}

BENCHMARK(Exchange_Plain_Socket)->UseRealTime();
BENCHMARK(Exchange_Plain_Bare)->UseRealTime();
BENCHMARK(Exchange_Tls_Socket)->UseRealTime();
BENCHMARK(Exchange_Tls_Bare)->UseRealTime();
BENCHMARK(Bulk_Plain_Socket)->UseRealTime();
BENCHMARK(Bulk_Plain_Bare)->UseRealTime();
BENCHMARK(Bulk_Tls_Socket)->UseRealTime();
BENCHMARK(Bulk_Tls_Bare)->UseRealTime();

// ---- ratio table -----------------------------------------------------------------------------

// Benchmark 1.8 renamed error_occurred to skipped.
template <class R> bool Skipped(const R &run)
{
    if constexpr (requires { run.skipped; })
        return static_cast<bool>(run.skipped);
    else
        return run.error_occurred;
}

// Prints as the console reporter does, keeps the time per iteration of each run (the median when
// repetitions are asked for), and ends with the socket / bare ratio of each pair.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
        {
            if (Skipped(run))
                continue;
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
            {
                std::string name = run.run_name.function_name;
                if (median || times.count(name) == 0)
                    times[name] = run.GetAdjustedRealTime();
            }
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-16s %14s %14s %8s\n", "work", "socket", "bare loop", "ratio");
        for (const char *work : {"Exchange_Plain", "Exchange_Tls", "Bulk_Plain", "Bulk_Tls"})
        {
            auto s = times.find(std::string(work) + "_Socket");
            auto b = times.find(std::string(work) + "_Bare");
            if (s == times.end() || b == times.end() || b->second <= 0)
                continue;
            std::printf("%-16s %11.2f us %11.2f us %8.3f\n", work, s->second / 1000.0, b->second / 1000.0,
                        s->second / b->second);
        }
        std::printf("(time per exchange or per 50,000-byte piece; ratio = socket / bare, target <= 1.25)\n");
    }

private:
    std::map<std::string, double> times; // nanoseconds per iteration
};
} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
