#include "net/SecureSocket.h"

#include "net/SocketBio.h"
#include "net/SocketInternal.h"
#include "net/SocketLog.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace net_internal;

namespace
{
constexpr std::size_t FileChunk = 4 * 65536; // four units of the usual 64 KiB allocation granularity

// ReadTls results besides a count (> 0) and 0 (connection closed).
constexpr int TlsWantRead = -100;
constexpr int TlsWantWrite = -101;

// Serialises context creation (certificate and key files are read under it).
std::mutex certificateMutex;

void StartOpenSSL()
{
    static std::once_flag once;
    std::call_once(
        once,
        [] { OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr); });
}

int PasswordCallback(char *buffer, int size, int, void *userdata)
{
    const char *password = static_cast<const char *>(userdata);
    if (password == nullptr || buffer == nullptr)
        return 0;
    std::size_t length = std::strlen(password);
    if (length + 1 > static_cast<std::size_t>(size))
        return 0;
    std::memcpy(buffer, password, length + 1);
    return static_cast<int>(length);
}
} // namespace

SecureSocket::SecureSocket(SSL_CTX *context) : PlainSocket()
{
    StartOpenSSL();
    SecureSocket::Init(context);
}

SecureSocket::~SecureSocket()
{
    SecureSocket::Cleanup();
}

SSL_CTX *SecureSocket::CreateSSLContext(const char *certificateFile, const char *privateKeyFile,
                                        const char *password, const char *caFile)
{
    StartOpenSSL();
    std::lock_guard<std::mutex> lock(certificateMutex);
    const char *failure = nullptr;
    // A context that carries a certificate serves; one without connects.
    SSL_CTX *context = SSL_CTX_new(certificateFile != nullptr ? TLS_server_method() : TLS_client_method());
    if (context == nullptr)
        failure = "SSL_CTX_new() returned NULL";
    else if (certificateFile != nullptr &&
             SSL_CTX_use_certificate_file(context, certificateFile, SSL_FILETYPE_PEM) <= 0)
        failure = "Couldn't read certificate";
    if (failure == nullptr && password != nullptr)
    {
        SSL_CTX_set_default_passwd_cb(context, PasswordCallback);
        SSL_CTX_set_default_passwd_cb_userdata(context, const_cast<char *>(password));
    }
    if (failure == nullptr && privateKeyFile != nullptr &&
        SSL_CTX_use_PrivateKey_file(context, privateKeyFile, SSL_FILETYPE_PEM) <= 0)
        failure = "Couldn't read private key";
    if (context != nullptr && password != nullptr)
    {
        // The password text belongs to the caller; the context must not keep a pointer to it.
        SSL_CTX_set_default_passwd_cb(context, nullptr);
        SSL_CTX_set_default_passwd_cb_userdata(context, nullptr);
    }
    if (failure == nullptr && caFile != nullptr &&
        SSL_CTX_load_verify_locations(context, caFile, nullptr) <= 0)
        failure = "Couldn't read certificate authority";
    if (failure == nullptr)
    {
        SSL_CTX_set_options(context, SSL_OP_ALL);
        if (SSL_CTX_set_cipher_list(context, "ALL") != 1)
            failure = "Couldn't set cipher list";
    }
    if (failure == nullptr &&
        SSL_CTX_set_session_id_context(
            context, reinterpret_cast<const unsigned char *>("SecureSocketsLibrary"), 20) == 0)
        failure = "Failed to set context session id";
    if (failure != nullptr)
    {
        net_log::Write(failure);
        SSL_CTX_free(context);
        ERR_clear_error();
        return nullptr;
    }
    return context;
}

void SecureSocket::Init(void *context)
{
    Borrowed = false;
    ssl = nullptr;
    sslbio = nullptr;
    State = SOCK_STATE_DISCONNECTED;
    TlsFailed = false;
    if (context != nullptr)
    {
        ctx = static_cast<SSL_CTX *>(context);
        OwnsContext = false;
        return;
    }
    OwnsContext = true;
    ctx = CreateSSLContext(nullptr, nullptr, nullptr, nullptr);
    if (ctx == nullptr)
    {
        net_log::Write("CTX == NULL");
        throw std::runtime_error("CTX == NULL");
    }
}

void SecureSocket::Cleanup()
{
    Close();
    FreeTlsObject();
    if (OwnsContext && ctx != nullptr)
        SSL_CTX_free(ctx);
    ctx = nullptr;
    OwnsContext = false;
    PlainSocket::Cleanup(); // the receive buffer and the handle, as the plain socket lets them go
}

void SecureSocket::FreeTlsObject()
{
    // The BIO belongs to the TLS object and goes with it.
    if (ssl != nullptr)
        SSL_free(ssl);
    ssl = nullptr;
    sslbio = nullptr;
}

int SecureSocket::CreateTlsObject()
{
    if (Socket == INVALID_SOCKET)
    {
        net_log::Write("Socket == INVALID_SOCKET");
        return SOCK_ERROR;
    }
    FreeTlsObject();
    if (ctx == nullptr)
    {
        net_log::Write("ctx == NULL");
        return SOCK_ERROR;
    }
    ssl = SSL_new(ctx);
    if (ssl == nullptr)
    {
        net_log::Write("ssl == NULL");
        ERR_clear_error();
        return SOCK_ERROR;
    }
    sslbio = NewSocketBio(Socket);
    if (sslbio == nullptr)
    {
        net_log::Write("sslbio == NULL");
        FreeTlsObject();
        ERR_clear_error();
        return SOCK_ERROR;
    }
    SSL_set_bio(ssl, sslbio, sslbio);
    TlsFailed = false;
    return SOCK_SUCCESS;
}

int SecureSocket::Handshake(bool serverSide)
{
    const WaitLimit limit = MakeWaitLimit(HandshakeSeconds, HandshakeMicroseconds);
    for (;;)
    {
        ERR_clear_error();
        int rc = serverSide ? SSL_accept(ssl) : SSL_connect(ssl);
        if (rc == 1)
            return SOCK_SUCCESS;
        int error = SSL_get_error(ssl, rc);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE)
        {
            short events = error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT;
            if (PollFor(Socket, events, limit) == PollReady)
                continue;
            net_log::Write(serverSide ? "SSL_accept() timed out" : "SSL_connect() timed out");
        }
        else
        {
            net_log::Write(serverSide ? "SSL_accept() failed" : "SSL_connect() failed");
        }
        TlsFailed = true;
        ERR_clear_error();
        return SOCK_ERROR;
    }
}

int SecureSocket::Connect(const char *host, int port)
{
    PeerDigest.clear();
    if (!StartConnect(host))
        return SOCK_ERROR;
    if (TCPConnect(HostName, port) != SOCK_SUCCESS || CreateTlsObject() != SOCK_SUCCESS ||
        Handshake(false) != SOCK_SUCCESS)
    {
        Close();
        return SOCK_ERROR;
    }
    State = SOCK_STATE_CONNECTED;
    PeerDigest = PeerCertificateDigest();
    if (Pinned && !PeerMatchesPin())
    {
        net_log::Write("server certificate does not match the pin");
        Close();
        return SOCK_ERROR;
    }
    return VerifyPeer(HostName, false) == 0 ? SOCK_SUCCESS : SOCK_ERROR;
}

std::string SecureSocket::ParseCertificatePin(const std::string &sha256Text)
{
    std::string digest;
    int high = -1;
    for (char c : sha256Text)
    {
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else if (c == ':' && high < 0)
            continue;
        else
            return std::string();
        if (high < 0)
            high = value;
        else
        {
            digest.push_back(static_cast<char>(high * 16 + value));
            high = -1;
        }
    }
    if (high >= 0 || digest.size() != 32)
        return std::string();
    return digest;
}

void SecureSocket::SetCertificatePin(const std::string &sha256Text)
{
    Pinned = !sha256Text.empty();
    PinDigest = Pinned ? ParseCertificatePin(sha256Text) : std::string();
}

bool SecureSocket::PeerMatchesPin()
{
    if (!Pinned || PinDigest.empty() || ssl == nullptr)
        return false;
    return PeerCertificateDigest() == PinDigest;
}

std::string SecureSocket::PeerCertificateDigest()
{
    std::string digest;
    if (ssl == nullptr)
        return digest;
    if (X509 *peer = SSL_get1_peer_certificate(ssl))
    {
        unsigned char bytes[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (X509_digest(peer, EVP_sha256(), bytes, &length) == 1 && length == 32)
            digest.assign(reinterpret_cast<const char *>(bytes), length);
        X509_free(peer);
    }
    ERR_clear_error();
    return digest;
}

std::string SecureSocket::PeerCertificateSHA256() const
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : PeerDigest)
    {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

void SecureSocket::Close()
{
    ForgetConnection();
    // One call: our close notification goes out, the peer's is not awaited.
    if (ssl != nullptr && !TlsFailed && Socket != INVALID_SOCKET && SSL_is_init_finished(ssl))
    {
        ERR_clear_error();
        SSL_shutdown(ssl);
        ERR_clear_error();
    }
    // The TLS object refers to the descriptor by number; it goes with the socket so that
    // nothing can later write through it to a descriptor that has been reused.
    FreeTlsObject();
    CloseSocket();
}

int SecureSocket::Attach(SOCKET socket, bool borrowed)
{
    ReleaseForAttach(socket, borrowed);
    State = SOCK_STATE_DISCONNECTED;
    Socket = socket < 0 ? INVALID_SOCKET : socket;
    if (CreateTlsObject() != SOCK_SUCCESS)
        return SOCK_ERROR;
    if (Handshake(true) != SOCK_SUCCESS)
    {
        // The handle stays with the object (closed at Close or destruction unless borrowed), so
        // that its owner decides when the descriptor number is given back.
        FreeTlsObject();
        return SOCK_ERROR;
    }
    State = SOCK_STATE_CONNECTED;
    return SOCK_SUCCESS;
}

int SecureSocket::BytesAvailable()
{
    if (State != SOCK_STATE_CONNECTED || ssl == nullptr)
        return 0;
    return SSL_pending(ssl);
}

int SecureSocket::Send(const void *buffer, std::uint32_t length)
{
    if (buffer == nullptr)
    {
        net_log::Write("buffer==NULL");
        return SOCK_ERROR;
    }
    if (State != SOCK_STATE_CONNECTED || ssl == nullptr)
        return SOCK_DISCONNECTED;
    if (length == 0)
        length = static_cast<std::uint32_t>(std::strlen(static_cast<const char *>(buffer)));
    const char *rest = static_cast<const char *>(buffer);
    std::uint32_t remaining = length;
    while (remaining > 0)
    {
        int piece = remaining > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(remaining);
        ERR_clear_error();
        int rc = SSL_write(ssl, rest, piece);
        if (rc > 0)
        {
            rest += rc;
            remaining -= static_cast<std::uint32_t>(rc);
            continue;
        }
        int error = SSL_get_error(ssl, rc);
        if (error == SSL_ERROR_WANT_WRITE || error == SSL_ERROR_WANT_READ)
        {
            // The write is repeated with the same arguments once the socket is ready.
            const int waited = WaitToSend(error == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN);
            if (waited == SOCK_SUCCESS)
                continue;
            if (waited == SOCK_TIMEOUT)
                return SOCK_TIMEOUT;
        }
        if (error == SSL_ERROR_SYSCALL || error == SSL_ERROR_SSL)
            TlsFailed = true;
        ERR_clear_error();
        return SOCK_ERROR;
    }
    return SOCK_SUCCESS;
}

int SecureSocket::SendFile(const char *path)
{
    if (State != SOCK_STATE_CONNECTED)
    {
        net_log::Write("State != SOCK_STATE_CONNECTED");
        return SOCK_ERROR;
    }
    return SendFileAtPath(path);
}

int SecureSocket::SendFile(int fileDescriptor)
{
    std::uint64_t size = 0;
    if (FileSizeToSend(fileDescriptor, "SecureSocket::SendFile(HANDLE) - HANDLE is NULL", size) !=
        SOCK_SUCCESS)
        return SOCK_ERROR;
    std::unique_ptr<unsigned char[]> chunk(new (std::nothrow) unsigned char[FileChunk]);
    if (!chunk)
        return SOCK_ERROR;
    FileBytesSent = 0;
    FileBytesTotal = static_cast<std::uint32_t>(size);
    FileSendActive = true;
    int result = SOCK_SUCCESS;
    std::uint64_t done = 0;
    while (done < size)
    {
        std::size_t want = size - done < FileChunk ? static_cast<std::size_t>(size - done) : FileChunk;
        ssize_t got = pread(fileDescriptor, chunk.get(), want, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
        {
            // A read error, or the file holds fewer bytes than its size said.
            result = SOCK_ERROR;
            break;
        }
        int sent = Send(chunk.get(), static_cast<std::uint32_t>(got));
        if (sent != SOCK_SUCCESS)
        {
            result = sent;
            break;
        }
        done += static_cast<std::uint64_t>(got);
        FileBytesSent = static_cast<std::uint32_t>(done);
    }
    FileSendActive = false;
    return result;
}

// One SSL_read of at most `length` bytes into `destination`. Results: the count read (> 0);
// TlsWantRead / TlsWantWrite when the socket must be waited on first; 0 when the connection
// ended or failed (it has been closed).
int SecureSocket::ReadTls(void *destination, std::uint32_t length)
{
    ERR_clear_error();
    int rc = SSL_read(ssl, destination, length > INT_MAX ? INT_MAX : static_cast<int>(length));
    if (rc > 0)
        return rc;
    int error = SSL_get_error(ssl, rc);
    switch (error)
    {
    case SSL_ERROR_WANT_READ:
        return TlsWantRead;
    case SSL_ERROR_WANT_WRITE:
        return TlsWantWrite;
    case SSL_ERROR_ZERO_RETURN: // the peer's close notification
        break;
    default:
        TlsFailed = true;
        ERR_get_error();
        break;
    }
    ERR_clear_error();
    Close();
    return 0;
}

// ReadTls into the free room of the buffer; the count held when there is no room.
int SecureSocket::ReadTlsToBuffer()
{
    if (recv_buffer == nullptr)
        return 0;
    return ReadIntoRoom([this](unsigned char *at, std::uint32_t room) { return ReadTls(at, room); });
}

int SecureSocket::FillBuffer()
{
    if (State != SOCK_STATE_CONNECTED || ssl == nullptr)
        return 0;
    for (;;)
    {
        int rc = ReadTlsToBuffer();
        if (rc != TlsWantRead && rc != TlsWantWrite)
            return rc;
        // Read again once the socket is ready: a fill waits as a blocking read would.
        if (PollFor(Socket, rc == TlsWantRead ? POLLIN : POLLOUT, WaitLimit{}) != PollReady)
        {
            Close();
            return 0;
        }
    }
}

int SecureSocket::WaitForData(bool force, int seconds, int microseconds)
{
    if (!force && recv_count > 0)
        return static_cast<int>(recv_count);
    return WaitAndRead(nullptr, 0, seconds, microseconds);
}

int SecureSocket::ReceiveDirect(void *destination, std::uint32_t length, int seconds, int microseconds)
{
    return WaitAndRead(destination, length, seconds, microseconds);
}

// The TLS wait: bytes the library already holds (decrypted, or still to decrypt) do not make the
// socket readable, so they are tried first; the socket is waited on only when the library asks
// for more. Then one read into `destination` or, when it is null, into the buffer.
int SecureSocket::WaitAndRead(void *destination, std::uint32_t length, int seconds, int microseconds)
{
    if (State != SOCK_STATE_CONNECTED || ssl == nullptr)
        return SOCK_DISCONNECTED;
    const WaitLimit limit = MakeWaitLimit(seconds, microseconds);
    short waitFor = (SSL_pending(ssl) > 0 || SSL_has_pending(ssl)) ? 0 : POLLIN;
    for (;;)
    {
        const int waited = waitFor != 0 ? WaitCode(Socket, waitFor, limit) : SOCK_SUCCESS;
        if (waited == SOCK_ERROR)
            Close();
        if (waited != SOCK_SUCCESS)
            return waited;
        int rc = destination != nullptr ? ReadTls(destination, length) : ReadTlsToBuffer();
        if (rc > 0)
            return rc;
        if (rc == 0)
            return SOCK_DISCONNECTED;
        waitFor = rc == TlsWantRead ? POLLIN : POLLOUT;
    }
}

int SecureSocket::VerifyPeer(const char *expectedName, bool check)
{
    if (ssl == nullptr)
        return check ? -1 : 0;
    if (check && SSL_get_verify_result(ssl) != X509_V_OK)
        return -1;
    char commonName[256] = {};
    if (X509 *peer = SSL_get1_peer_certificate(ssl))
    {
        if (X509_NAME *subject = X509_get_subject_name(peer))
            X509_NAME_get_text_by_NID(subject, NID_commonName, commonName, sizeof commonName);
        X509_free(peer);
    }
    ERR_clear_error();
    if (check && strcasecmp(commonName, expectedName != nullptr ? expectedName : "") != 0)
        return -1;
    return 0;
}
