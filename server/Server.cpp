#include "server/Server.h"

#include "net/PlainSocket.h"
#include "net/SecureSocket.h"
#include "server/Certificate.h"
#include "server/DemoData.h"
#include "server/Frame.h"
#include "server/FunctionHandler.h"
#include "server/RequestHandler.h"
#include "toolkit/Files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

#include <arpa/inet.h>
#include <cstdio>
#include <filesystem>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int LogError = 0, LogWarn = 1, LogInfo = 2, LogDebug = 3;
constexpr int FileChunk = 50000;
// How long an accept loop waits after accept failed for want of descriptors or memory.
constexpr auto AcceptBackOff = std::chrono::milliseconds(100);

// Steady-clock milliseconds `seconds` from now.
long long MillisecondsFromNow(int seconds)
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + seconds * 1000LL;
}

void WriteLe32(unsigned char *p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// Download: 8-byte header (size, packed date), then the file in pieces. A file that cannot be
// opened gives a header of zeros. False when the link failed or the file changed under us.
bool SendFileBytes(PlainSocket &socket, const std::string &path)
{
    unsigned char header[8] = {};
    FILE *f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    struct stat st;
    if (!f || fstat(fileno(f), &st) != 0 || st.st_size > INT32_MAX)
    {
        if (f)
            std::fclose(f);
        return socket.Send(header, 8) >= 0;
    }
    std::uint32_t size = static_cast<std::uint32_t>(st.st_size);
    WriteLe32(header, size);
    WriteLe32(header + 4, static_cast<std::uint32_t>(FileAge(path)));
    bool ok = socket.Send(header, 8) >= 0;
    std::vector<char> buffer(FileChunk);
    std::uint32_t sent = 0;
    while (ok && sent < size)
    {
        size_t want = std::min<std::uint32_t>(FileChunk, size - sent);
        size_t got = std::fread(buffer.data(), 1, want, f);
        if (got == 0)
            ok = false;
        else
        {
            ok = socket.Send(buffer.data(), static_cast<std::uint32_t>(got)) >= 0;
            sent += static_cast<std::uint32_t>(got);
        }
    }
    std::fclose(f);
    return ok;
}
} // namespace

cServer::cServer(cServerOptions options) : Options(std::move(options))
{
    const char *levels[] = {"error", "warn", "info", "debug"};
    for (int i = 0; i < 4; ++i)
        if (Options.LogLevel == levels[i])
            LogLevel = i;
}

cServer::~cServer()
{
    Stop();
}

void cServer::Log(int level, const std::string &message)
{
    if (level <= LogLevel)
        std::fprintf(stderr, "DorvaneServer: %s\n", message.c_str());
}

bool cServer::PrepareFolder(std::string &error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(fs::path(Options.DataFolder) / "files" / "Clients", ec);
    if (ec)
    {
        error = "Cannot create the data folder " + Options.DataFolder + ": " + ec.message();
        return false;
    }
    std::string database = Options.DataFolder + "/dorvane.db";
    if (Options.ResetDemo)
        for (const char *suffix : {"", "-wal", "-shm"})
            fs::remove(database + suffix, ec);
    if (!Store.Open(database, error))
        return false;
    if (Store.IsEmpty())
    {
        Log(LogInfo, "filling the demo data");
        if (!FillDemoData(Store, error))
            return false;
    }
    Files = std::make_unique<cFileArea>(Options.DataFolder + "/files");
    if (!UseUpdateSigner(error))
        return false;
    std::string cert = Options.CertificateFile, key = Options.KeyFile;
    if (cert.empty())
    {
        cert = Options.DataFolder + "/server.crt";
        key = Options.DataFolder + "/server.key";
        if (!EnsureCertificate(cert, key, error))
            return false;
    }
    Context = SecureSocket::CreateSSLContext(cert.c_str(), key.c_str(), nullptr, nullptr);
    if (!Context)
    {
        error = "Cannot load the certificate " + cert + " and key " + key;
        return false;
    }
    return true;
}

bool cServer::UseUpdateSigner(std::string &error)
{
    if (Options.SignUpdatesKey.empty())
        return true;
    auto signer = std::make_shared<cUpdateSigner>();
    if (!signer->Load(Options.SignUpdatesKey, error))
        return false;
    Files->UseSigner(std::move(signer));
    Log(LogInfo, "signing the copies of the file area with " + Options.SignUpdatesKey);
    return true;
}

int cServer::Listen(int port, int &boundPort, std::string &error)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
    {
        error = "socket failed";
        return -1;
    }
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, Options.BindAddress.c_str(), &address.sin_addr) != 1)
    {
        close(fd);
        error = "Invalid bind address " + Options.BindAddress;
        return -1;
    }
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(fd, 128) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
    {
        close(fd);
        error = "Cannot listen on port " + std::to_string(port);
        return -1;
    }
    boundPort = ntohs(address.sin_port);
    return fd;
}

bool cServer::Start(std::string &error)
{
    if (!PrepareFolder(error))
        return false;
    DataListener = Listen(Options.DataPort, BoundDataPort, error);
    if (DataListener < 0)
        return false;
    FunctionListener = Listen(Options.FunctionPort, BoundFunctionPort, error);
    if (FunctionListener < 0)
        return false;
    DataAcceptor = std::thread([this] { AcceptLoop(DataListener, true); });
    FunctionAcceptor = std::thread([this] { AcceptLoop(FunctionListener, false); });
    if (Options.HospitalActivitySeconds > 0)
    {
        Activity = std::make_unique<cHospitalActivity>(Store);
        Activity->Start(Options.HospitalActivitySeconds);
    }
    return true;
}

void cServer::AcceptLoop(int listener, bool data)
{
    while (!Stopping)
    {
        pollfd p{listener, POLLIN, 0};
        const int ready = poll(&p, 1, 200);
        Sweep(data);
        if (ready <= 0)
            continue;
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        int fd = accept4(listener, reinterpret_cast<sockaddr *>(&peer), &length, SOCK_CLOEXEC);
        if (fd < 0)
        {
            // Out of descriptors or memory: the pending connection stays ready, so wait instead
            // of spinning on it.
            if (errno != EINTR && errno != EAGAIN && errno != ECONNABORTED)
                std::this_thread::sleep_for(AcceptBackOff);
            continue;
        }
        char ip[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &peer.sin_addr, ip, sizeof ip);
        Admit(fd, ip, data);
    }
}

void cServer::Admit(int fd, const std::string &peer, bool data)
{
    std::lock_guard<std::mutex> lock(ConnectionsMutex);
    if (Stopping || Connections.size() >= static_cast<size_t>(Options.MaxConnections))
    {
        close(fd);
        if (!Stopping)
            Log(LogWarn, "connection from " + peer + " refused: " + std::to_string(Options.MaxConnections) +
                             " connections open");
        return;
    }
    try
    {
        // Listed before its thread starts, so that a thread is never left without its entry.
        Connections.push_back(std::make_unique<cConnection>());
        cConnection *c = Connections.back().get();
        c->Data = data;
        c->Fd = fd;
        c->Deadline =
            MillisecondsFromNow(data ? Options.HandshakeTimeoutSeconds : Options.IdleTimeoutSeconds);
        c->Thread = StartThread(
            [this, data, c, peer]
            {
                if (data)
                    DataSession(*c, peer);
                else
                    FunctionSession(*c);
                c->Done = true;
            });
    }
    catch (const std::exception &e)
    {
        // No thread (or no memory) for this one: refuse it, the others go on.
        if (!Connections.empty() && !Connections.back()->Thread.joinable())
            Connections.pop_back();
        close(fd);
        Log(LogWarn, "connection from " + peer + " refused: " + e.what());
        return;
    }
    Log(LogDebug, std::string(data ? "data" : "function") + " connection from " + peer);
}

void cServer::Sweep(bool data)
{
    const long long now = MillisecondsFromNow(0);
    std::lock_guard<std::mutex> lock(ConnectionsMutex);
    for (auto it = Connections.begin(); it != Connections.end();)
    {
        cConnection &c = **it;
        if (c.Done)
        {
            c.Thread.join();
            it = Connections.erase(it);
            continue;
        }
        if (c.Data == data && c.Fd >= 0 && now >= c.Deadline)
        {
            // The session's next wait ends at once and it closes the link.
            shutdown(c.Fd, SHUT_RDWR);
            c.Deadline = LLONG_MAX;
            Log(LogDebug, std::string(data ? "data" : "function") + " link timed out");
        }
        ++it;
    }
}

void cServer::Forget(cConnection &connection)
{
    std::lock_guard<std::mutex> lock(ConnectionsMutex);
    connection.Fd = -1;
}

void cServer::DataSession(cConnection &connection, const std::string &peer)
{
    SecureSocket socket(Context);
    if (socket.Attach(connection.Fd, false) != SOCK_SUCCESS)
    {
        Log(LogWarn, "TLS handshake failed with " + peer);
        Forget(connection);
        return;
    }
    if (!Options.Greeting.empty())
        socket.Send(Options.Greeting.data(), static_cast<std::uint32_t>(Options.Greeting.size()));
    try
    {
        cRequestHandler handler(Store, *Files, peer);
        std::vector<char> body(MaxBodyLength);
        while (!Stopping)
        {
            // Between frames the link may idle (the sweep bounds that); once a frame has begun,
            // each wait for the rest of it is bounded by the handshake timeout.
            const int frameSeconds = Options.HandshakeTimeoutSeconds;
            unsigned char bytes[FrameHeaderSize];
            if (socket.ReceiveBytes(bytes, 1, -1, 0) != 1 ||
                socket.ReceiveBytes(bytes + 1, FrameHeaderSize - 1, frameSeconds, 0) !=
                    static_cast<int>(FrameHeaderSize - 1))
                break;
            cFrameHeader header;
            if (!ParseFrameHeader(bytes, header))
            {
                Log(LogWarn, "bad frame header from " + peer + " (body length " +
                                 std::to_string(header.BodyLength) + "), closing");
                break;
            }
            int length = static_cast<int>(header.BodyLength);
            std::string_view text;
            if (socket.ReceiveBytes(body.data(), length, frameSeconds, 0) != length)
            {
                Log(LogWarn, "truncated frame from " + peer + ", closing");
                break;
            }
            if (!FrameBodyText(body.data(), header.BodyLength, text))
            {
                Log(LogWarn, "frame body without its closing NUL from " + peer + ", closing");
                break;
            }
            Log(LogDebug, "request " + std::to_string(header.Code) + "/" + std::to_string(header.Arg));
            cReply reply = handler.Handle(header.Code, header.Arg, text);
            if (reply.SendFile && !SendFileBytes(socket, reply.FilePath))
                break;
            if (socket.Send(reply.Text.c_str(), static_cast<std::uint32_t>(reply.Text.size() + 1)) < 0)
                break;
            // Until the program handshake admits it, the link keeps its first deadline.
            if (handler.Accepted())
                connection.Deadline = MillisecondsFromNow(Options.IdleTimeoutSeconds);
        }
    }
    catch (const std::exception &e)
    {
        Log(LogWarn, "data connection with " + peer + " ended: " + e.what());
    }
    Forget(connection);
}

void cServer::FunctionSession(cConnection &connection)
{
    PlainSocket socket;
    socket.Attach(connection.Fd, false);
    try
    {
        cFunctionHandler handler(Store);
        std::vector<char> buffer(cFunctionHandler::MaxRequestLength + 1);
        while (!Stopping)
        {
            int n = socket.ReceiveUntilNul(buffer.data(),
                                           static_cast<int>(cFunctionHandler::MaxRequestLength), -1, 0);
            if (n == 0)
            {
                std::string reply = "{Error:\"Request too long\"}";
                socket.Send(reply.c_str(), static_cast<std::uint32_t>(reply.size() + 1));
                break;
            }
            if (n < 0)
                break;
            std::string reply = handler.Handle(std::string_view(buffer.data(), static_cast<size_t>(n - 1)));
            if (socket.Send(reply.c_str(), static_cast<std::uint32_t>(reply.size() + 1)) < 0)
                break;
            connection.Deadline = MillisecondsFromNow(Options.IdleTimeoutSeconds);
        }
    }
    catch (const std::exception &e)
    {
        Log(LogWarn, std::string("function connection ended: ") + e.what());
    }
    Forget(connection);
}

void cServer::Stop()
{
    if (Stopping.exchange(true))
        return;
    if (Activity)
        Activity->Stop();
    if (DataAcceptor.joinable())
        DataAcceptor.join();
    if (FunctionAcceptor.joinable())
        FunctionAcceptor.join();
    for (int *fd : {&DataListener, &FunctionListener})
        if (*fd >= 0)
        {
            close(*fd);
            *fd = -1;
        }
    std::list<std::unique_ptr<cConnection>> connections;
    {
        std::lock_guard<std::mutex> lock(ConnectionsMutex);
        for (auto &c : Connections)
            if (c->Fd >= 0)
                shutdown(c->Fd, SHUT_RDWR);
        connections.swap(Connections);
    }
    for (auto &c : connections)
        c->Thread.join();
    Store.Close();
    if (Context)
        SSL_CTX_free(Context);
    Context = nullptr;
}
