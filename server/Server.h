// DorvaneServer: the data server on a TLS listener and the function server on a plain one, a
// thread per connection, over one SQLite store in the data folder.
#pragma once

#include "server/FileArea.h"
#include "server/HospitalActivity.h"
#include "server/ServerOptions.h"
#include "server/Store.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <set>
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

private:
    struct cConnection
    {
        std::thread Thread;
        std::atomic<bool> Done{false};
    };
    bool PrepareFolder(std::string &error);
    int Listen(int port, int &boundPort, std::string &error);
    void AcceptLoop(int listener, bool data);
    void DataSession(int fd, const std::string &peer);
    void FunctionSession(int fd);
    // Removes the descriptor from the open set before its socket closes it.
    void Forget(int fd);
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
    std::set<int> OpenDescriptors;
};
