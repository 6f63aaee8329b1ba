// SQLite storage of the catalogue's tables: one table per catalogue table, column fN for field N,
// f1 the key. Every statement is parameterised; table and column names come from the catalogue.
// The database is in WAL mode. Writes go through the store's one connection, under its lock, and
// each is durable when it returns (the log is synced at every commit). Reads of the connection
// threads go through readers: each holds a read-only connection of its own, so reads run side by
// side and beside a write.
#pragma once

#include "server/Catalogue.h"

#include <functional>
#include <map>
#include <memory>
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

// What requests read: whole records by key, and records through an index.
class cRecordReader
{
public:
    virtual ~cRecordReader() = default;
    virtual bool ReadBySeq(const cTableDef &table, long long seq, cRecord &out) = 0;
    // Records through an index: key field 0 reads every record. Ordered by `orderField`, then Seq.
    // `offset` records are skipped and at most `limit` returned; `total` gets the match count.
    virtual std::vector<cRecord> Select(const cTableDef &table, int keyField, const std::string &key,
                                        int orderField, int offset, int limit, int *total = nullptr) = 0;
};

// One SQLite connection and its prepared statements; for one thread at a time.
class cStoreConnection
{
public:
    cStoreConnection() = default;
    ~cStoreConnection();
    cStoreConnection(const cStoreConnection &) = delete;
    cStoreConnection &operator=(const cStoreConnection &) = delete;

    // Opens the file (read-only, or read-write and created when missing). False with `error`.
    bool Open(const std::string &path, bool readOnly, std::string &error);
    void Close();
    sqlite3 *Handle() const { return Db; }
    bool Exec(const char *sql, std::string &error);
    // The statement for a text, prepared once and reset for reuse; null on failure.
    sqlite3_stmt *Prepare(const std::string &sql);

    bool ReadBySeq(const cTableDef &table, long long seq, cRecord &out);
    std::vector<cRecord> Select(const cTableDef &table, int keyField, const std::string &key, int orderField,
                                int offset, int limit, int *total);

private:
    sqlite3 *Db = nullptr;
    std::unordered_map<std::string, sqlite3_stmt *> Statements;
};

class cStore : public cRecordReader
{
public:
    cStore() = default;
    ~cStore() override;
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

    // Reads through the writing connection, under the lock: they see a transaction in progress.
    bool ReadBySeq(const cTableDef &table, long long seq, cRecord &out) override;
    std::vector<cRecord> Select(const cTableDef &table, int keyField, const std::string &key, int orderField,
                                int offset, int limit, int *total = nullptr) override;

    // A reader for one thread: its own read-only connection to the file, opened at its first read.
    // It sees every write committed before that read began. For an in-memory store, or when no
    // connection can be opened, it reads through the store instead.
    std::unique_ptr<cRecordReader> NewReader();

private:
    long long InsertLocked(const cTableDef &table, const cFieldValues &values, std::string &error);
    // BEGIN IMMEDIATE unless a transaction is open already; `began` tells which.
    bool BeginWrite(bool &began, std::string &error);
    bool EndWrite(bool began, bool ok, std::string &error);
    int Change(sqlite3_stmt *st, std::string &error);

    std::recursive_mutex Mutex;
    // The file's path, empty for an in-memory store; under its own lock, so that a reader can be
    // made while a write holds the store.
    std::mutex PathMutex;
    std::string Path;
    cStoreConnection Writer;
};
