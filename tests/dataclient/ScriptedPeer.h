// A loopback server for the client tests: it runs a script on its own thread that accepts
// connections (plain or TLS), checks the exact bytes the client sends and answers with scripted
// bytes. Every wait is bounded, so a client that sends too little cannot hang a test.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

typedef struct ssl_st SSL;

// The bytes of one request frame: length, code, argument (little-endian), body, NUL.
std::string Frame(int code, int arg, std::string_view body);

class cScriptedPeer
{
public:
    // port 0: any free loopback port.
    explicit cScriptedPeer(bool tls, int port = 0);
    ~cScriptedPeer();
    cScriptedPeer(const cScriptedPeer &) = delete;
    cScriptedPeer &operator=(const cScriptedPeer &) = delete;

    int Port() const { return ListenPort; }
    std::string PortText() const { return std::to_string(ListenPort); }

    // Starts the script on the peer's thread; Join waits for it to end.
    void Run(std::function<void(cScriptedPeer &)> script);
    void Join();

    // Script steps. Failures are reported to the running test.
    bool Accept(); // takes the next connection, closing the current one
    std::string Read(std::size_t n);
    std::string ReadFrame();
    void ExpectFrame(int code, int arg, std::string_view body);
    void Write(std::string_view bytes);
    void Reply(std::string_view text); // text and its NUL
    void CloseLink();

    bool Listening = false;
    int Accepted = 0;

private:
    bool Tls;
    int ListenFd = -1;
    int ListenPort = 0;
    int LinkFd = -1;
    SSL *Ssl = nullptr;
    std::thread Thread;
};

// One request the peer expects and the reply text it answers with.
struct cExchange
{
    int Code;
    int Arg;
    std::string Body;
    std::string Reply;
};

// Accepts one connection and serves the exchanges in order.
void ServeExchanges(cScriptedPeer &peer, std::vector<cExchange> exchanges);
