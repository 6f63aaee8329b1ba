// TLS client (and, through Attach, server) socket over OpenSSL 3, on top of PlainSocket's
// receive buffer and receive operations.
#pragma once

#include "net/PlainSocket.h"

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
    static SSL_CTX *CreateSSLContext(const char *certificateFile, const char *privateKeyFile, const char *password,
                                     const char *caFile);

    int Connect(const char *host, int port) override;
    void Close() override;
    int Attach(SOCKET socket, bool borrowed) override;
    int BytesAvailable() override;
    int Send(const std::string &text) override;
    int Send(const void *buffer, std::uint32_t length) override;
    int SendFile(const char *path) override;
    int SendFile(int fileDescriptor) override;
    int WaitForData(bool force, int seconds, int microseconds) override;
    int FillBuffer() override;

    int VerifyPeer(const char *expectedName, bool check);

protected:
    void Init(void *context) override;
    void Cleanup() override;

    SSL_CTX *ctx = nullptr;
    SSL *ssl = nullptr;
    BIO *sslbio = nullptr;
    bool OwnsContext = false;
};
