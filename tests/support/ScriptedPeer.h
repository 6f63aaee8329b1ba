// A loopback peer for the socket and client tests: it listens on 127.0.0.1, accepts links (plain
// or TLS) and reads and writes exact bytes, either from a script on its own thread (Run) or from
// the test itself after StartAccept. Every wait is bounded, so a client that sends too little
// cannot hang a test; SIGPIPE never reaches the program from the peer's writes.
#pragma once

#include "tests/support/TestCertificates.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

typedef struct ssl_st SSL;

// The bytes of one request frame: length, code, argument (little-endian), body, NUL.
std::string Frame(int code, int arg, std::string_view body);
// The 8-byte header of a download or picture: size and date, little-endian.
std::string FileHeader(std::int32_t size, std::int32_t date = 0);

class cScriptedPeer
{
public:
    // port 0: any free loopback port. `backlog` is the listen queue (0: one pending link).
    explicit cScriptedPeer(bool tls, int port = 0,
                           eTestCertificate certificate = eTestCertificate::SelfSigned, int backlog = 8);
    ~cScriptedPeer();
    cScriptedPeer(const cScriptedPeer &) = delete;
    cScriptedPeer &operator=(const cScriptedPeer &) = delete;

    int Port() const { return ListenPort; }
    std::string PortText() const { return std::to_string(ListenPort); }

    // Starts the script on the peer's thread (the link is closed when it ends); Join waits.
    void Run(std::function<void(cScriptedPeer &)> script);
    void Join();
    // Accepts one link on the peer's thread, for a test that then drives the peer itself once
    // Accepted() said yes (a TLS client's connect needs the peer's handshake meanwhile).
    void StartAccept(bool handshake = true);
    bool Accepted();

    // Script steps. Failures are reported to the running test.
    // Takes the next link; the current one stays open and silent until it comes, then is
    // closed. `handshake` false leaves a TLS peer's link plain.
    bool Accept(bool handshake = true);
    std::string Read(std::size_t n);
    std::string ReadFrame();
    void ExpectFrame(int code, int arg, std::string_view body);
    std::string ReadUntilNul(); // without the NUL
    // Everything the client still sends until it closes the link (or the peer's wait runs out);
    // "" when it sends nothing more. Never a failure by itself.
    std::string ReadRest();
    bool Write(std::string_view bytes);
    void Reply(std::string_view text); // text and its NUL
    // Writes the bytes one at a time, `pauseMs` apart.
    void Trickle(std::string_view bytes, int pauseMs);
    void CloseLink(); // orderly: a TLS link sends its close notification first
    void ResetLink(); // a reset (SO_LINGER 0), no close notification
    int LinkFd() const { return Fd; }

    bool Listening = false;
    int Links = 0; // links taken so far

private:
    bool Tls;
    eTestCertificate Certificate;
    int ListenFd = -1;
    int ListenPort = 0;
    int Fd = -1;
    SSL *Ssl = nullptr;
    bool LinkUp = false;
    std::thread Thread;
};

// One request the peer expects and the reply text it answers with, after `Before` (the header
// and bytes of a download or picture, written as they are).
struct cExchange
{
    int Code;
    int Arg;
    std::string Body;
    std::string Reply;
    std::string Before = {};
};

// Accepts one connection and serves the exchanges in order.
void ServeExchanges(cScriptedPeer &peer, std::vector<cExchange> exchanges);
