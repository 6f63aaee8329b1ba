// Test support: DorvaneServer with fresh demo data on free ports in a temporary folder, a data
// connection to it, and direct reads of its SQLite database.
#pragma once

#include "dataclient/dbServerConnection.h"
#include "toolkit/Host.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

class cBindingServer
{
public:
    cBindingServer() = default;
    ~cBindingServer();
    cBindingServer(const cBindingServer &) = delete;
    cBindingServer &operator=(const cBindingServer &) = delete;

    // Starts the server and waits (bounded) for its port line. False with `error`.
    bool Start(std::string &error);
    void Stop();
    // A data-server connection as the client makes it (TLS, handshake), with a bounded wait.
    std::unique_ptr<dbServerConnection> Connect() const;
    // The SQLite file in the data folder.
    std::string DatabasePath() const;

    int DataPort = 0;

private:
    QTemporaryDir Folder;
    QProcess Process;
};

// Reads and writes the server's database directly.
class cTestDatabase
{
public:
    explicit cTestDatabase(const std::string &path);
    ~cTestDatabase();
    cTestDatabase(const cTestDatabase &) = delete;
    cTestDatabase &operator=(const cTestDatabase &) = delete;

    bool IsOpen() const { return Db != nullptr; }
    // Rows of text columns; an empty result on error (see LastError).
    std::vector<std::vector<std::string>> Query(const std::string &sql);
    // First column of the first row, "" when there is none.
    std::string Scalar(const std::string &sql);
    bool Exec(const std::string &sql);
    std::string LastError;

private:
    sqlite3 *Db = nullptr;
};

// Each test gets its own server with fresh demo data, a connection and the database; message
// boxes go to a recording host.
class cServerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(Server.Start(error)) << error;
        Connection = Server.Connect();
        ASSERT_TRUE(Connection->IsConnectedFlag);
        Db = std::make_unique<cTestDatabase>(Server.DatabasePath());
        ASSERT_TRUE(Db->IsOpen()) << Db->LastError;
    }

    cRecordingHost RecordingHost;
    cScopedHost HostScope{&RecordingHost};
    cBindingServer Server;
    std::unique_ptr<dbServerConnection> Connection;
    std::unique_ptr<cTestDatabase> Db;
};
