// Direct reads (and set-up writes) of a server's SQLite database, beside the server's own use.
#pragma once

#include <string>
#include <vector>

struct sqlite3;

class cTestDatabase
{
public:
    explicit cTestDatabase(const std::string &path);
    ~cTestDatabase();
    cTestDatabase(const cTestDatabase &) = delete;
    cTestDatabase &operator=(const cTestDatabase &) = delete;

    bool IsOpen() const { return Db != nullptr; }
    // Rows of text columns; empty on error (see LastError).
    std::vector<std::vector<std::string>> Query(const std::string &sql);
    // First column of the first row, "" when there is none.
    std::string Scalar(const std::string &sql);
    bool Exec(const std::string &sql);

    std::string LastError;

private:
    sqlite3 *Db = nullptr;
};
