// The TLS socket alone: accepted certificates, verification, pins, handshakes, contexts.
#include "tests/net/NetTestSupport.h"

#include <openssl/ssl.h>

#include <unistd.h>
#include <vector>

namespace
{
using ContextPtr = std::unique_ptr<SSL_CTX, decltype([](SSL_CTX *context) { SSL_CTX_free(context); })>;

// One request each way over a connected socket.
void ExpectExchange(SecureSocket &socket, cScriptedPeer &peer)
{
    ASSERT_EQ(socket.Send("ping", 5), SOCK_SUCCESS);
    EXPECT_EQ(peer.ReadUntilNul(), "ping");
    ASSERT_TRUE(peer.Write({"pong", 5}));
    char buffer[16];
    EXPECT_EQ(Got(socket.ReceiveUntilNul(buffer, 10, 5, 0), buffer), "5:pong");
}
} // namespace

// Any certificate is accepted (self-signed, expired, for another host) unless a pin is set: then
// only the pinned one.
TEST(SecureSocket, AnyCertificateIsAcceptedUnlessAPinMustMatch)
{
    const std::string own = CertificateSHA256Hex(TestCertificate(eTestCertificate::SelfSigned).CertFile);
    const std::string other = CertificateSHA256Hex(TestCertificate(eTestCertificate::OtherHost).CertFile);
    ASSERT_EQ(own.size(), 64u);
    ASSERT_NE(own, other);
    using enum eTestCertificate;
    const std::tuple<const char *, eTestCertificate, std::string, bool> cases[] = {
        {"self-signed", SelfSigned, "", true},
        {"expired", Expired, "", true},
        {"other host", OtherHost, "", true},
        {"own digest", SelfSigned, own, true},
        {"upper case with colons", SelfSigned, UpperWithColons(own), true},
        {"another certificate's digest", SelfSigned, other, false},
        {"one digit short", SelfSigned, own.substr(1), false},
        {"not hex", SelfSigned, std::string(64, 'g'), false},
        {"a colon inside a byte", SelfSigned, own.substr(0, 1) + ":" + own.substr(1), false},
    };
    for (const auto &[what, certificate, pin, connects] : cases)
    {
        SCOPED_TRACE(what);
        cScriptedPeer server(true, 0, certificate);
        server.StartAccept();
        SecureSocket socket;
        socket.SetCertificatePin(pin);
        if (!connects)
        {
            EXPECT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_ERROR);
            EXPECT_NE(socket.GetState(), SOCK_STATE_CONNECTED);
            EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
            continue;
        }
        ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
        ASSERT_TRUE(server.Accepted());
        EXPECT_EQ(socket.GetState(), SOCK_STATE_CONNECTED);
        EXPECT_EQ(socket.PeerMatchesPin(), !pin.empty());
        ExpectExchange(socket, server);
        EXPECT_EQ(socket.VerifyPeer("127.0.0.1", false), 0);
        EXPECT_EQ(socket.VerifyPeer("localhost", true), -1); // not signed by anyone we trust
    }
}

TEST(SecureSocket, VerifyPeerChecksTrustAndName)
{
    cScriptedPeer server(true);
    server.StartAccept();
    ContextPtr trusting(
        SecureSocket::CreateSSLContext(nullptr, nullptr, nullptr, TestCertificate().CertFile.c_str()));
    ASSERT_TRUE(trusting);
    SecureSocket socket(trusting.get());
    ASSERT_EQ(socket.Connect("localhost", server.Port()), SOCK_SUCCESS);
    ASSERT_TRUE(server.Accepted());
    EXPECT_EQ(socket.VerifyPeer("LOCALHOST", true), 0);
    EXPECT_EQ(socket.VerifyPeer("other.example.org", true), -1);
    ExpectExchange(socket, server);
}

TEST(SecureSocket, DecryptedBytesPendingAreDeliveredWithoutWaiting)
{
    // 65,536 bytes travel as four full records; the buffer holds 65,535, so the last byte stays
    // decrypted inside the library while the socket itself has nothing more to read.
    cLink link(true);
    ASSERT_TRUE(link.Up());
    PlainSocket &socket = *link.Client;
    std::string data(65536, 'p');
    data.back() = 'L';
    link.Peer.Run([&](cScriptedPeer &p) { p.Write(data); });
    ASSERT_TRUE(BufferUntil(socket, 65535));
    EXPECT_EQ(socket.FillBuffer(), 65535); // a full buffer is not a failed read
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_EQ(socket.BytesAvailable(), 1);
    std::vector<char> buffer(65536);
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 65535, 0, 0), 65535);
    // Held by the library, not by the socket: a zero wait must still deliver it.
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 1, 0, 0), 1);
    EXPECT_EQ(buffer[0], 'L');
}

TEST(SecureSocket, AttachHandshakeFailureIsAnError)
{
    const cTestCertificate &c = TestCertificate();
    ContextPtr context(
        SecureSocket::CreateSSLContext(c.CertFile.c_str(), c.KeyFile.c_str(), nullptr, nullptr));
    ASSERT_TRUE(context);
    int borrowed[2], owned[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, borrowed), 0);
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, owned), 0);
    ASSERT_TRUE(SendAll(borrowed[1], "GET / HTTP/1.0\r\n\r\n") &&
                SendAll(owned[1], "GET / HTTP/1.0\r\n\r\n"));
    SecureSocket server(context.get());
    EXPECT_EQ(server.Attach(borrowed[0], true), SOCK_ERROR);
    EXPECT_EQ(server.GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_TRUE(IsOpen(borrowed[0])); // borrowed: still open
    EXPECT_EQ(server.Connect("no-such-host.invalid", 443), SOCK_ERROR);
    EXPECT_TRUE(IsOpen(borrowed[0])); // and a failed Connect leaves it to its owner
    {
        // Owned: the object keeps the descriptor until it is closed or destroyed.
        SecureSocket other(context.get());
        EXPECT_EQ(other.Attach(owned[0], false), SOCK_ERROR);
        EXPECT_EQ(other.GetSocket(), owned[0]);
        EXPECT_TRUE(IsOpen(owned[0]));
    }
    EXPECT_FALSE(IsOpen(owned[0]));
    for (int fd : {borrowed[0], borrowed[1], owned[1]})
        close(fd);
}

TEST(SecureSocket, CreateContextReadsFilesAndPassword)
{
    const cTestCertificate &c = TestCertificate();
    const char *encrypted = EncryptedTestKeyFile().c_str();
    const std::tuple<const char *, const char *, const char *, const char *, bool> cases[] = {
        {c.CertFile.c_str(), c.KeyFile.c_str(), nullptr, nullptr, true},
        {c.CertFile.c_str(), encrypted, TestKeyPassword, nullptr, true},
        {c.CertFile.c_str(), encrypted, "wrong", nullptr, false},
        {"/nonexistent.pem", nullptr, nullptr, nullptr, false},
        {c.CertFile.c_str(), "/nonexistent.pem", nullptr, nullptr, false},
        {nullptr, nullptr, nullptr, "/nonexistent.pem", false},
        {nullptr, nullptr, nullptr, nullptr, true},
    };
    const auto text = [](const char *s) { return s ? s : "-"; };
    for (const auto &[cert, key, password, ca, made] : cases)
        EXPECT_EQ(bool(ContextPtr(SecureSocket::CreateSSLContext(cert, key, password, ca))), made)
            << text(cert) << " " << text(key) << " " << text(password) << " " << text(ca);
}
