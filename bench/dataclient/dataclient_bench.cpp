// Data-client throughput against a loopback TLS server in the same process, each figure beside a
// baseline that does the same transport or parsing work without the client layer.
#include "bench/ReplyServer.h"
#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "net/SecureSocket.h"
#include "tests/support/TestCertificates.h"
#include "toolkit/DateTime.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int DownloadSize = 8 * 1024 * 1024;

std::string RecordReply()
{
    cStringList lines;
    lines.Add("Personnel");
    for (int i = 1; i <= 31; ++i)
        lines.Add(i == 22 ? "someone@example.org" : "value " + std::to_string(i));
    return lines.CommaText();
}

std::string BatchReply(int records)
{
    cStringList lines;
    lines.Add(std::to_string(records) + "," + std::to_string(records));
    for (int i = 0; i < records; ++i)
        lines.Add(std::to_string(i) + ",0," + std::to_string(1000 + i) + ",Ann,Smith,555-0100,a" +
                  std::to_string(i) + "@example.org,x,Y,,\"a||b\",Y");
    lines.Add("0");
    return lines.CommaText();
}

// Answers record reads with a 31-field record, downloads with an 8 MB file, anything else "OK".
class cBenchServer
{
public:
    cBenchServer() : Context(NewTestServerContext()), Record(RecordReply() + std::string(1, '\0'))
    {
        File.resize(8 + DownloadSize);
        std::int32_t size = DownloadSize;
        std::int32_t date = 0x56B15A0F;
        std::memcpy(File.data(), &size, 4);
        std::memcpy(File.data() + 4, &date, 4);
        for (int i = 0; i < DownloadSize; ++i)
            File[8 + i] = static_cast<char>(i * 31);
        File += std::string("OK", 3);
        ListenFd = bench::ListenOnLoopback(Port);
        Acceptor = std::thread([this] { AcceptLoop(); });
    }
    ~cBenchServer()
    {
        Stopping = true;
        ::shutdown(ListenFd, SHUT_RDWR);
        ::close(ListenFd);
        Acceptor.join();
        for (std::thread &t : Links)
            t.join();
        SSL_CTX_free(Context);
    }
    int Port = 0;

private:
    void AcceptLoop()
    {
        while (!Stopping)
        {
            int fd = ::accept(ListenFd, nullptr, nullptr);
            if (fd < 0)
                return;
            std::lock_guard<std::mutex> lock(Mutex);
            Links.emplace_back([this, fd] { Serve(fd); });
        }
    }
    static bool ReadAll(SSL *ssl, char *to, int n)
    {
        while (n > 0)
        {
            int got = SSL_read(ssl, to, n);
            if (got <= 0)
                return false;
            to += got;
            n -= got;
        }
        return true;
    }
    static bool WriteAll(SSL *ssl, const std::string &bytes)
    {
        std::size_t sent = 0;
        while (sent < bytes.size())
        {
            int n = SSL_write(ssl, bytes.data() + sent,
                              static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20)));
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }
    void Serve(int fd)
    {
        SSL *ssl = SSL_new(Context);
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) == 1)
        {
            std::vector<char> body;
            for (;;)
            {
                char header[12];
                if (!ReadAll(ssl, header, 12))
                    break;
                std::uint32_t length;
                std::int32_t code, arg;
                std::memcpy(&length, header, 4);
                std::memcpy(&code, header + 4, 4);
                std::memcpy(&arg, header + 8, 4);
                body.resize(length);
                if (length > 1 << 20 || !ReadAll(ssl, body.data(), static_cast<int>(length)))
                    break;
                const std::string &answer = (code == 31002 && arg == 101) ? File
                                            : (code == 31001)             ? Record
                                                                          : Ok;
                if (!WriteAll(ssl, answer))
                    break;
            }
        }
        SSL_free(ssl);
        ::close(fd);
    }

    SSL_CTX *Context;
    std::string Record;
    std::string File;
    const std::string Ok = std::string("OK", 3);
    int ListenFd = -1;
    std::atomic<bool> Stopping{false};
    std::mutex Mutex;
    std::thread Acceptor;
    std::vector<std::thread> Links;
};

cBenchServer &Server()
{
    static cBenchServer server;
    return server;
}

std::string FrameBytes(int code, int arg, const std::string &body)
{
    std::string out(12, '\0');
    std::uint32_t length = static_cast<std::uint32_t>(body.size() + 1);
    std::memcpy(out.data(), &length, 4);
    std::memcpy(out.data() + 4, &code, 4);
    std::memcpy(out.data() + 8, &arg, 4);
    return out + body + std::string(1, '\0');
}

void BM_ReadRecordTls(benchmark::State &state)
{
    dbServerConnection c("127.0.0.1", std::to_string(Server().Port), "", "", true, -1);
    cStringList lines;
    for (auto _ : state)
    {
        if (!c.ReadRecord("Personnel", "1042", lines))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(lines.Count());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadRecordTls)->UseRealTime();

// The same request and reply through a bare socket: frame out, read until NUL.
void BM_BareSocketRoundTripTls(benchmark::State &state)
{
    SecureSocket socket;
    socket.Connect("127.0.0.1", Server().Port);
    const std::string frame = FrameBytes(31001, 20003, "TableName=Personnel,Seq=1042");
    std::vector<char> buffer(50001);
    for (auto _ : state)
    {
        socket.Send(frame.data(), static_cast<std::uint32_t>(frame.size()));
        int rc;
        while ((rc = socket.ReceiveUntilNul(buffer.data(), 50000, -1, 0)) == 0)
        {
        }
        if (rc < 0)
            state.SkipWithError("receive failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareSocketRoundTripTls)->UseRealTime();

void BM_BatchSetBuildAndWalk(benchmark::State &state)
{
    const std::string text = BatchReply(10000);
    const char *codes[] = {"f11", "f13", "f19", "f22", "f23", "f26", "f29", "f30", "f31"};
    for (auto _ : state)
    {
        cStringList reply;
        reply.SetCommaText(text);
        cRecordBatch batch;
        batch.Table = "Personnel";
        batch.FieldList = "f11,f13,f19,f22,f23,f26,f29,f30,f31";
        batch.TakeReply(reply);
        std::size_t total = 0;
        if (batch.First())
            do
            {
                for (const char *code : codes)
                    total += batch.GetField(code).size();
            } while (batch.Next());
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BatchSetBuildAndWalk)->Unit(benchmark::kMillisecond);

// Baseline: only splitting the reply and each record line, the least any reader must do.
void BM_BatchReplySplitOnly(benchmark::State &state)
{
    const std::string text = BatchReply(10000);
    for (auto _ : state)
    {
        cStringList reply;
        reply.SetCommaText(text);
        cStringList values;
        std::size_t total = 0;
        for (int i = 1; i + 1 < reply.Count(); ++i)
        {
            values.SetCommaText(reply[i]);
            total += values.Count();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BatchReplySplitOnly)->Unit(benchmark::kMillisecond);

void BM_DownloadFileTls(benchmark::State &state)
{
    dbServerConnection c("127.0.0.1", std::to_string(Server().Port), "", "", true, -1);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("dataclient_bench_" + std::to_string(::getpid())))
            .string();
    for (auto _ : state)
    {
        if (!c.DownloadFile("Clients\\DorvaneProvider.exe", path))
            state.SkipWithError("download failed");
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(DownloadSize));
}
BENCHMARK(BM_DownloadFileTls)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the same file over the same kind of TLS link into the same kind of sink, by bare calls:
// a blocking socket with the client's socket options, under OpenSSL with its TLS settings, the request frame,
// the 8-byte header, then pieces of at most 50,000 bytes (what DownloadFile asks for at a time), each written
// to a new file; the file's date set, and the closing reply read up to its NUL.
void BM_BareSocketDownloadTls(benchmark::State &state)
{
    SSL_CTX *context = SecureSocket::CreateSSLContext(nullptr, nullptr, nullptr, nullptr);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(Server().Port));
    // The client's socket options: its buffer sizes (131,072 bytes each way) keep the kernel from
    // tuning the window, which changes how a bulk transfer paces itself.
    const int one = 1, size = 131072;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    SSL *ssl = context ? SSL_new(context) : nullptr;
    if (!ssl || ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        SSL_set_fd(ssl, fd) != 1 || SSL_connect(ssl) != 1)
        state.SkipWithError("no TLS link");
    const std::string path =
        (std::filesystem::temp_directory_path() / ("dataclient_bench_bare_" + std::to_string(::getpid())))
            .string();
    const std::string frame = FrameBytes(31002, 101, "Clients\\DorvaneProvider.exe");
    std::vector<char> buffer(50000);
    const auto readAll = [ssl](char *to, int n)
    {
        while (n > 0)
        {
            const int got = SSL_read(ssl, to, n);
            if (got <= 0)
                return false;
            to += got;
            n -= got;
        }
        return true;
    };
    for (auto _ : state)
    {
        if (!ssl)
            break;
        ::unlink(path.c_str());
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        char header[8];
        bool ok = file >= 0 && SSL_write(ssl, frame.data(), static_cast<int>(frame.size())) > 0 &&
                  readAll(header, 8);
        for (int left = DownloadSize; ok && left > 0;)
        {
            const int piece = std::min(left, 50000);
            ok = readAll(buffer.data(), piece) &&
                 ::write(file, buffer.data(), static_cast<std::size_t>(piece)) == piece;
            left -= piece;
        }
        if (file >= 0)
            ::close(file);
        const timespec times[2] = {{0, UTIME_NOW}, {1700000000, 0}};
        ok = ok && ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
        for (char c = 1; ok && c != 0;)
            ok = SSL_read(ssl, &c, 1) == 1;
        if (!ok)
        {
            state.SkipWithError("download failed");
            break;
        }
    }
    ::unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(DownloadSize));
    if (ssl)
        SSL_free(ssl);
    ::close(fd);
    SSL_CTX_free(context);
}
BENCHMARK(BM_BareSocketDownloadTls)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
