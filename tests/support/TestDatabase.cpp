#include "tests/support/TestDatabase.h"

#include <sqlite3.h>

cTestDatabase::cTestDatabase(const std::string &path)
{
    if (sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    {
        LastError = Db ? sqlite3_errmsg(Db) : "cannot open " + path;
        sqlite3_close(Db);
        Db = nullptr;
        return;
    }
    sqlite3_busy_timeout(Db, 5000);
}

cTestDatabase::~cTestDatabase()
{
    sqlite3_close(Db);
}

std::vector<std::vector<std::string>> cTestDatabase::Query(const std::string &sql)
{
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt *statement = nullptr;
    if (!Db || sqlite3_prepare_v2(Db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    {
        LastError = Db ? sqlite3_errmsg(Db) : "database not open";
        return rows;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
    {
        auto &row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
        {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, i));
            row.emplace_back(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(statement, i)));
        }
    }
    if (rc != SQLITE_DONE)
    {
        LastError = sqlite3_errmsg(Db);
        rows.clear();
    }
    sqlite3_finalize(statement);
    return rows;
}

std::string cTestDatabase::Scalar(const std::string &sql)
{
    const auto rows = Query(sql);
    return rows.empty() || rows.front().empty() ? "" : rows.front().front();
}

bool cTestDatabase::Exec(const std::string &sql)
{
    char *message = nullptr;
    if (!Db || sqlite3_exec(Db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
    {
        LastError = message ? message : "database not open";
        sqlite3_free(message);
        return false;
    }
    return true;
}
