#include "NetPeers.h"

#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace nettest
{
namespace
{
void SetPeerTimeouts(int fd)
{
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
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
    Close();
}

void Listener::Close()
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

int Listener::Accept()
{
    if (!WaitReadable(fd, 5000))
        return -1;
    int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0)
        SetPeerTimeouts(client);
    return client;
}

int ClosedPort()
{
    Listener listener;
    return listener.Port(); // closed again when the listener goes
}

PeerThread::PeerThread(std::function<void()> body)
{
    thread = std::thread(
        [body = std::move(body)]
        {
            sigset_t set;
            sigemptyset(&set);
            sigaddset(&set, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &set, nullptr);
            body();
        });
}

PeerThread::~PeerThread()
{
    Join();
}

void PeerThread::Join()
{
    if (thread.joinable())
        thread.join();
}

bool SendAll(int fd, const void *data, std::size_t length)
{
    const char *p = static_cast<const char *>(data);
    while (length > 0)
    {
        ssize_t n = send(fd, p, length, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SendAll(int fd, const std::string &text)
{
    return SendAll(fd, text.data(), text.size());
}

bool RecvExactly(int fd, void *data, std::size_t length)
{
    char *p = static_cast<char *>(data);
    while (length > 0)
    {
        ssize_t n = recv(fd, p, length, 0);
        if (n <= 0)
            return false;
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string RecvUntilNul(int fd)
{
    std::string text;
    char c;
    while (recv(fd, &c, 1, 0) == 1 && c != 0)
        text += c;
    return text;
}

void ResetClose(int fd)
{
    linger l{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    close(fd);
}

bool WaitReadable(int fd, int milliseconds)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, milliseconds) == 1;
}

namespace
{
struct Certificates
{
    std::string folder;
    TestCertificate good, expired, other;
    std::string encryptedKey;

    Certificates()
    {
        char pattern[] = "/tmp/dorvane-net-XXXXXX";
        const char *made = mkdtemp(pattern);
        if (made == nullptr)
            throw std::runtime_error("mkdtemp");
        folder = made;
        EVP_PKEY *key = EVP_EC_gen("P-256");
        if (key == nullptr)
            throw std::runtime_error("key");
        good = Make("good", key, "localhost", -3600, 365L * 86400);
        expired = Make("expired", key, "localhost", -2L * 365 * 86400, -365L * 86400);
        other = Make("other", key, "other.example.org", -3600, 365L * 86400);
        encryptedKey = folder + "/encrypted-key.pem";
        FILE *f = std::fopen(encryptedKey.c_str(), "w");
        PEM_write_PrivateKey(f, key, EVP_aes_128_cbc(), reinterpret_cast<const unsigned char *>("sesame"), 6,
                             nullptr, nullptr);
        std::fclose(f);
        EVP_PKEY_free(key);
    }
    ~Certificates()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    TestCertificate Make(const std::string &name, EVP_PKEY *key, const char *commonName, long notBefore,
                         long notAfter)
    {
        static long serial = 1;
        X509 *x = X509_new();
        X509_set_version(x, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(x), serial++);
        X509_gmtime_adj(X509_getm_notBefore(x), notBefore);
        X509_gmtime_adj(X509_getm_notAfter(x), notAfter);
        X509_set_pubkey(x, key);
        X509_NAME *subject = X509_get_subject_name(x);
        X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>(commonName), -1, -1, 0);
        X509_set_issuer_name(x, subject);
        X509_sign(x, key, EVP_sha256());
        TestCertificate c{folder + "/" + name + "-cert.pem", folder + "/" + name + "-key.pem"};
        FILE *f = std::fopen(c.CertFile.c_str(), "w");
        PEM_write_X509(f, x);
        std::fclose(f);
        f = std::fopen(c.KeyFile.c_str(), "w");
        PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr);
        std::fclose(f);
        X509_free(x);
        return c;
    }
};

Certificates &Certs()
{
    static Certificates certificates;
    return certificates;
}
} // namespace

const TestCertificate &GoodCertificate()
{
    return Certs().good;
}
const TestCertificate &ExpiredCertificate()
{
    return Certs().expired;
}
const TestCertificate &OtherHostCertificate()
{
    return Certs().other;
}
const std::string &EncryptedKeyFile()
{
    return Certs().encryptedKey;
}
std::string TempFolder()
{
    return Certs().folder;
}

namespace
{
SSL_CTX *ServerContext(const TestCertificate &certificate)
{
    SSL_CTX *context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr ||
        SSL_CTX_use_certificate_file(context, certificate.CertFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, certificate.KeyFile.c_str(), SSL_FILETYPE_PEM) != 1)
        throw std::runtime_error("server context");
    return context;
}
} // namespace

TlsServerPeer::TlsServerPeer(const TestCertificate &certificate, std::function<void(SSL *, int)> script)
    : context(ServerContext(certificate)), thread(
                                               [this, script = std::move(script)]
                                               {
                                                   int fd = listener.Accept();
                                                   if (fd < 0)
                                                       return;
                                                   SSL *ssl = SSL_new(context);
                                                   SSL_set_fd(ssl, fd);
                                                   if (SSL_accept(ssl) == 1)
                                                   {
                                                       handshakeDone = true;
                                                       script(ssl, fd);
                                                       SSL_shutdown(ssl);
                                                   }
                                                   SSL_free(ssl);
                                                   close(fd);
                                                   ERR_clear_error();
                                               })
{
}

TlsServerPeer::~TlsServerPeer()
{
    thread.Join();
    SSL_CTX_free(context);
}

bool TlsWriteAll(SSL *ssl, const void *data, int length)
{
    return length == 0 || SSL_write(ssl, data, length) == length;
}

bool TlsReadExactly(SSL *ssl, void *data, int length)
{
    char *p = static_cast<char *>(data);
    while (length > 0)
    {
        int n = SSL_read(ssl, p, length);
        if (n <= 0)
            return false;
        p += n;
        length -= n;
    }
    return true;
}

std::string TlsReadUntilNul(SSL *ssl)
{
    std::string text;
    char c;
    while (SSL_read(ssl, &c, 1) == 1 && c != 0)
        text += c;
    return text;
}
} // namespace nettest
