// TLS client (and, through Attach, server) socket over OpenSSL 3, on top of PlainSocket's
// receive buffer and receive operations.
#pragma once

#include "net/PlainSocket.h"

#include <string>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
typedef struct bio_st BIO;

class SecureSocket : public PlainSocket
{
public:
    // context null: the socket creates and owns its own context; otherwise the shared context
    // is used and never freed by the socket.
    explicit SecureSocket(SSL_CTX *context = nullptr);
    ~SecureSocket() override;

    // Any argument may be null. Returns a new context or null.
    static SSL_CTX *CreateSSLContext(const char *certificateFile, const char *privateKeyFile,
                                     const char *password, const char *caFile);

    int Connect(const char *host, int port) override;
    void Close() override;
    int Attach(SOCKET socket, bool borrowed) override;
    int BytesAvailable() override;
    // The text form is the plain socket's: it hands the text to the Send below.
    using PlainSocket::Send;
    int Send(const void *buffer, std::uint32_t length) override;
    int SendFile(const char *path) override;
    int SendFile(int fileDescriptor) override;
    int WaitForData(bool force, int seconds, int microseconds) override;
    int FillBuffer() override;

    int VerifyPeer(const char *expectedName, bool check);

    // Certificate pinning: with a pin set, Connect fails (SOCK_ERROR, link closed) unless the
    // SHA-256 of the server certificate (DER) equals it. The text is 64 hex digits, any case,
    // colons allowed; a text that is not such a digest never matches. Empty: no pin.
    void SetCertificatePin(const std::string &sha256Text);
    // The 32-byte digest of a pin text, or "" when the text is not one.
    static std::string ParseCertificatePin(const std::string &sha256Text);
    // True when a pin is set and the connected peer's certificate matches it.
    bool PeerMatchesPin();
    // The SHA-256 of the certificate (DER) the server showed at the last successful Connect, as
    // 64 lower-case hex digits; "" before one (kept after the link closes, until the next Connect).
    std::string PeerCertificateSHA256() const;

    // Bound on the whole TLS handshake of Connect and Attach (seconds < 0: no limit, the default).
    // A handshake that runs out fails with SOCK_ERROR.
    void SetHandshakeTimeout(int seconds, int microseconds)
    {
        HandshakeSeconds = seconds;
        HandshakeMicroseconds = microseconds;
    }

protected:
    void Init(void *context) override;
    void Cleanup() override;

    // TLS object creation: a new SSL from ctx, joined to Socket by a BIO that never closes it.
    int CreateTlsObject();
    // Frees the TLS object (and its BIO), if any; the one place that does.
    void FreeTlsObject();
    // Runs SSL_connect or SSL_accept to the end (or the handshake bound).
    int Handshake(bool serverSide);
    int ReceiveDirect(void *destination, std::uint32_t length, int seconds, int microseconds) override;
    // One SSL_read into `destination`, or into the buffer's free room; see the .cpp for results.
    int ReadTls(void *destination, std::uint32_t length);
    int ReadTlsToBuffer();
    // The TLS wait followed by one read (into the buffer when `destination` is null).
    int WaitAndRead(void *destination, std::uint32_t length, int seconds, int microseconds);

    SSL_CTX *ctx = nullptr;
    SSL *ssl = nullptr;
    BIO *sslbio = nullptr;
    bool OwnsContext = false;
    bool TlsFailed = false; // a fatal TLS error happened: no close notification is sent
    int HandshakeSeconds = -1;
    int HandshakeMicroseconds = 0;
    bool Pinned = false;
    std::string PinDigest;  // 32 bytes; empty with Pinned set: a pin that never matches
    std::string PeerDigest; // 32 bytes of the last connected server's certificate, or empty

private:
    // The SHA-256 of the present peer's certificate (32 bytes), "" when there is none.
    std::string PeerCertificateDigest();
};
