// SQLite storage of the catalogue's tables: one table per catalogue table, column fN for field N,
// f1 the key. Every statement is parameterised; table and column names come from the catalogue.
// One connection guarded by a mutex, so the store can be shared by every connection thread.
#pragma once

#include "server/Catalogue.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

struct cRecord
{
    long long Seq = 0;
    std::map<int, std::string> Values; // by field number; Seq is also field 1
    std::string Get(int field) const;
};

using cFieldValues = std::vector<std::pair<int, std::string>>;

class cStore
{
public:
    cStore() = default;
    ~cStore();
    cStore(const cStore &) = delete;
    cStore &operator=(const cStore &) = delete;

    // Opens (creating when missing) the database file; ":memory:" for a private in-memory one.
    // Creates the catalogue's tables and indexes. False with `error` set on failure.
    bool Open(const std::string &path, std::string &error);
    void Close();
    bool IsEmpty(); // no provider entity yet: a new database

    // Writes, each in its own transaction. Insert gives the new Seq or 0 with `error`.
    long long Insert(const cTableDef &table, const cFieldValues &values, std::string &error);
    // Number of records changed (0: no such record), -1 with `error` on failure.
    int Update(const cTableDef &table, long long seq, const cFieldValues &values, std::string &error);
    int Delete(const cTableDef &table, long long seq, std::string &error);
    // Runs `work` as one transaction (all or none): the writes it makes through this store join
    // it. `work` returns false with its error to roll everything back.
    bool Transaction(const std::function<bool(std::string &)> &work, std::string &error);

    bool ReadBySeq(const cTableDef &table, long long seq, cRecord &out);
    // Records through an index: key field 0 reads every record. Ordered by `orderField`, then Seq.
    // `offset` records are skipped and at most `limit` returned; `total` gets the match count.
    std::vector<cRecord> Select(const cTableDef &table, int keyField, const std::string &key, int orderField,
                                int offset, int limit, int *total = nullptr);

private:
    sqlite3_stmt *Prepare(const std::string &sql);
    bool Exec(const char *sql, std::string &error);
    long long InsertLocked(const cTableDef &table, const cFieldValues &values, std::string &error);
    // BEGIN IMMEDIATE unless a transaction is open already; `began` tells which.
    bool BeginWrite(bool &began, std::string &error);
    bool EndWrite(bool began, bool ok, std::string &error);
    int Change(sqlite3_stmt *st, std::string &error);
    static std::string ColumnList(const cTableDef &table);
    cRecord RowToRecord(const cTableDef &table, sqlite3_stmt *st);

    sqlite3 *Db = nullptr;
    std::recursive_mutex Mutex;
    std::unordered_map<std::string, sqlite3_stmt *> Statements;
};
