// DorvaneServer: the data server on a TLS listener and the function server on a plain one, a
// thread per connection (at most --max-connections of them), over one SQLite store in the data
// folder. Each accept loop also watches its links' deadlines: a data link that has not finished
// the TLS and program handshake in time, and any link idle for too long, is shut down.
#pragma once

#include "server/FileArea.h"
#include "server/HospitalActivity.h"
#include "server/ServerOptions.h"
#include "server/Store.h"

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

typedef struct ssl_ctx_st SSL_CTX;

class cServer
{
public:
    explicit cServer(cServerOptions options);
    ~cServer();
    cServer(const cServer &) = delete;
    cServer &operator=(const cServer &) = delete;

    // Prepares the data folder (database, demo data, certificate, file area) and opens both
    // listeners. False with `error`.
    bool Start(std::string &error);
    // Closes the listeners, ends every connection and waits for their threads.
    void Stop();
    int DataPort() const { return BoundDataPort; }
    int FunctionPort() const { return BoundFunctionPort; }

    // Starts the thread of one connection; a throw refuses that connection alone. Replaceable
    // before Start, so that tests can make it fail.
    std::function<std::thread(std::function<void()>)> StartThread = [](std::function<void()> body)
    { return std::thread(std::move(body)); };

private:
    struct cConnection
    {
        std::thread Thread;
        std::atomic<bool> Done{false};
        bool Data = false;
        int Fd = -1; // under ConnectionsMutex; -1 once the session has let the descriptor go
        // Steady-clock milliseconds after which the link is shut down.
        std::atomic<long long> Deadline{0};
    };
    bool PrepareFolder(std::string &error);
    // With --sign-updates: the key is loaded and the file area signs what it is asked for.
    bool UseUpdateSigner(std::string &error);
    int Listen(int port, int &boundPort, std::string &error);
    void AcceptLoop(int listener, bool data);
    // Starts a session for an accepted descriptor, or closes it at once when the cap is reached
    // or no thread can be had.
    void Admit(int fd, const std::string &peer, bool data);
    // Joins ended sessions and shuts down the links of one kind whose deadline has passed.
    void Sweep(bool data);
    void DataSession(cConnection &connection, const std::string &peer);
    void FunctionSession(cConnection &connection);
    // Clears the connection's descriptor before its socket closes it, so that nothing shuts down
    // a number the system has given to someone else.
    void Forget(cConnection &connection);
    void Log(int level, const std::string &message);

    cServerOptions Options;
    cStore Store;
    std::unique_ptr<cFileArea> Files;
    std::unique_ptr<cHospitalActivity> Activity;
    SSL_CTX *Context = nullptr;
    int DataListener = -1;
    int FunctionListener = -1;
    int BoundDataPort = 0;
    int BoundFunctionPort = 0;
    int LogLevel = 2;
    std::atomic<bool> Stopping{false};
    std::thread DataAcceptor;
    std::thread FunctionAcceptor;
    std::mutex ConnectionsMutex;
    std::list<std::unique_ptr<cConnection>> Connections;
};
