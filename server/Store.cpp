#include "server/Store.h"

#include <sqlite3.h>

std::string cRecord::Get(int field) const
{
    auto it = Values.find(field);
    return it == Values.end() ? std::string() : it->second;
}

// ---------------------------------------------------------------------------------------------
// cStoreConnection

cStoreConnection::~cStoreConnection()
{
    Close();
}

void cStoreConnection::Close()
{
    for (auto &s : Statements)
        sqlite3_finalize(s.second);
    Statements.clear();
    if (Db)
        sqlite3_close(Db);
    Db = nullptr;
}

bool cStoreConnection::Open(const std::string &path, bool readOnly, std::string &error)
{
    Close();
    const int flags = readOnly ? SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX
                               : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &Db, flags, nullptr) != SQLITE_OK)
    {
        error = Db ? sqlite3_errmsg(Db) : "cannot open database";
        Close();
        return false;
    }
    sqlite3_busy_timeout(Db, 5000);
    return true;
}

bool cStoreConnection::Exec(const char *sql, std::string &error)
{
    char *message = nullptr;
    if (sqlite3_exec(Db, sql, nullptr, nullptr, &message) != SQLITE_OK)
    {
        error = message ? message : "database error";
        sqlite3_free(message);
        return false;
    }
    return true;
}

sqlite3_stmt *cStoreConnection::Prepare(const std::string &sql)
{
    if (!Db || sql.size() > 4000)
        return nullptr;
    auto it = Statements.find(sql);
    if (it != Statements.end())
    {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    if (Statements.size() > 400)
    {
        for (auto &s : Statements)
            sqlite3_finalize(s.second);
        Statements.clear();
    }
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(Db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        return nullptr;
    Statements.emplace(sql, st);
    return st;
}

namespace
{
std::string ColumnList(const cTableDef &table)
{
    std::string s;
    for (int f : table.Fields)
        s += (s.empty() ? "f" : ", f") + std::to_string(f);
    return s;
}

cRecord RowToRecord(const cTableDef &table, sqlite3_stmt *st)
{
    cRecord r;
    r.Seq = sqlite3_column_int64(st, 0);
    for (size_t i = 0; i < table.Fields.size(); ++i)
    {
        const unsigned char *text = sqlite3_column_text(st, static_cast<int>(i));
        int n = sqlite3_column_bytes(st, static_cast<int>(i));
        r.Values[table.Fields[i]] =
            text ? std::string(reinterpret_cast<const char *>(text), n) : std::string();
    }
    return r;
}
} // namespace

bool cStoreConnection::ReadBySeq(const cTableDef &table, long long seq, cRecord &out)
{
    sqlite3_stmt *st = Prepare("SELECT " + ColumnList(table) + " FROM \"" + table.Name + "\" WHERE f1 = ?");
    if (!st)
        return false;
    sqlite3_bind_int64(st, 1, seq);
    bool found = sqlite3_step(st) == SQLITE_ROW;
    if (found)
        out = RowToRecord(table, st);
    // Reset at once: a statement left running would hold its read transaction (and its view of the
    // database) open.
    sqlite3_reset(st);
    return found;
}

std::vector<cRecord> cStoreConnection::Select(const cTableDef &table, int keyField, const std::string &key,
                                              int orderField, int offset, int limit, int *total)
{
    std::vector<cRecord> out;
    std::string where = keyField > 0 ? " WHERE f" + std::to_string(keyField) + " = ? COLLATE NOCASE" : "";
    if (keyField == 1)
        where = " WHERE f1 = ?";
    if (total)
    {
        *total = 0;
        sqlite3_stmt *st = Prepare("SELECT COUNT(*) FROM \"" + table.Name + "\"" + where);
        if (!st)
            return out;
        if (keyField > 0)
            sqlite3_bind_text(st, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW)
            *total = static_cast<int>(sqlite3_column_int64(st, 0));
        sqlite3_reset(st);
    }
    std::string order = orderField > 1 ? "f" + std::to_string(orderField) + " COLLATE NOCASE, f1" : "f1";
    sqlite3_stmt *st = Prepare("SELECT " + ColumnList(table) + " FROM \"" + table.Name + "\"" + where +
                               " ORDER BY " + order + " LIMIT ? OFFSET ?");
    if (!st)
        return out;
    int n = 1;
    if (keyField > 0)
        sqlite3_bind_text(st, n++, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, n++, limit);
    sqlite3_bind_int(st, n, offset < 0 ? 0 : offset);
    while (sqlite3_step(st) == SQLITE_ROW)
        out.push_back(RowToRecord(table, st));
    sqlite3_reset(st);
    return out;
}

// ---------------------------------------------------------------------------------------------
// A reader: its own read-only connection, or the store's when it has none.

namespace
{
class cStoreReader : public cRecordReader
{
public:
    cStoreReader(cStore &store, std::string path) : Store(store), Path(std::move(path)) {}

    bool ReadBySeq(const cTableDef &table, long long seq, cRecord &out) override
    {
        return Ready() ? Connection.ReadBySeq(table, seq, out) : Store.ReadBySeq(table, seq, out);
    }

    std::vector<cRecord> Select(const cTableDef &table, int keyField, const std::string &key, int orderField,
                                int offset, int limit, int *total) override
    {
        if (!Ready())
            return Store.Select(table, keyField, key, orderField, offset, limit, total);
        if (!total)
            return Connection.Select(table, keyField, key, orderField, offset, limit, total);
        // The count and the records from one view of the database.
        std::string ignored;
        const bool snapshot = Connection.Exec("BEGIN", ignored);
        std::vector<cRecord> records =
            Connection.Select(table, keyField, key, orderField, offset, limit, total);
        if (snapshot)
            Connection.Exec("COMMIT", ignored);
        return records;
    }

private:
    bool Ready()
    {
        if (!Tried)
        {
            Tried = true;
            std::string error;
            Opened = !Path.empty() && Connection.Open(Path, true, error);
        }
        return Opened;
    }

    cStore &Store;
    const std::string Path;
    cStoreConnection Connection;
    bool Tried = false;
    bool Opened = false;
};
} // namespace

// ---------------------------------------------------------------------------------------------
// cStore

cStore::~cStore()
{
    Close();
}

void cStore::Close()
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    Writer.Close();
    std::lock_guard<std::mutex> pathLock(PathMutex);
    Path.clear();
}

bool cStore::Open(const std::string &path, std::string &error)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    Close();
    if (!Writer.Open(path, false, error))
        return false;
    std::string ignored;
    // A write is acknowledged once its commit returns, and by then it is on disk: the log is
    // synced at every commit, so neither a killed server nor a lost machine takes it back.
    Writer.Exec("PRAGMA journal_mode=WAL", ignored);
    Writer.Exec("PRAGMA synchronous=FULL", ignored);
    if (!Writer.Exec("BEGIN", error))
        return false;
    for (const cTableDef &t : cCatalogue::Tables())
    {
        std::string sql =
            "CREATE TABLE IF NOT EXISTS \"" + t.Name + "\" (f1 INTEGER PRIMARY KEY AUTOINCREMENT";
        for (int f : t.Fields)
            if (f != 1)
                sql += ", f" + std::to_string(f) + " TEXT NOT NULL DEFAULT ''";
        sql += ")";
        if (!Writer.Exec(sql.c_str(), error))
            return Writer.Exec("ROLLBACK", ignored) && false;
        if (t.HasField(10))
        {
            sql = "CREATE INDEX IF NOT EXISTS \"" + t.Name + "_f10\" ON \"" + t.Name +
                  "\" (f10 COLLATE NOCASE)";
            if (!Writer.Exec(sql.c_str(), error))
                return Writer.Exec("ROLLBACK", ignored) && false;
        }
    }
    if (!Writer.Exec("CREATE INDEX IF NOT EXISTS Personnel_f22 ON Personnel (f22 COLLATE NOCASE)", error) ||
        !Writer.Exec("CREATE INDEX IF NOT EXISTS Personnel_f9 ON Personnel (f9 COLLATE NOCASE)", error) ||
        !Writer.Exec("CREATE INDEX IF NOT EXISTS CaseNeedsQuote_f11 ON CaseNeedsQuote (f11 COLLATE NOCASE)",
                     error) ||
        !Writer.Exec("COMMIT", error))
    {
        Writer.Exec("ROLLBACK", ignored);
        return false;
    }
    std::lock_guard<std::mutex> pathLock(PathMutex);
    if (path != ":memory:" && !path.empty())
        Path = path;
    return true;
}

std::unique_ptr<cRecordReader> cStore::NewReader()
{
    std::lock_guard<std::mutex> pathLock(PathMutex);
    return std::make_unique<cStoreReader>(*this, Path);
}

bool cStore::IsEmpty()
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    sqlite3_stmt *st = Writer.Prepare("SELECT COUNT(*) FROM ProviderEntities");
    if (!st)
        return true;
    bool empty = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int64(st, 0) == 0;
    sqlite3_reset(st);
    return empty;
}

long long cStore::InsertLocked(const cTableDef &table, const cFieldValues &values, std::string &error)
{
    std::string cols, marks;
    for (const auto &v : values)
    {
        cols += (cols.empty() ? "f" : ", f") + std::to_string(v.first);
        marks += marks.empty() ? "?" : ", ?";
    }
    std::string sql = cols.empty()
                          ? "INSERT INTO \"" + table.Name + "\" DEFAULT VALUES"
                          : "INSERT INTO \"" + table.Name + "\" (" + cols + ") VALUES (" + marks + ")";
    sqlite3_stmt *st = Writer.Prepare(sql);
    if (!st)
    {
        error = sqlite3_errmsg(Writer.Handle());
        return 0;
    }
    for (size_t i = 0; i < values.size(); ++i)
        sqlite3_bind_text(st, static_cast<int>(i + 1), values[i].second.data(),
                          static_cast<int>(values[i].second.size()), SQLITE_TRANSIENT);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE)
    {
        error = sqlite3_errmsg(Writer.Handle());
        return 0;
    }
    return sqlite3_last_insert_rowid(Writer.Handle());
}

bool cStore::BeginWrite(bool &began, std::string &error)
{
    began = sqlite3_get_autocommit(Writer.Handle()) != 0;
    return !began || Writer.Exec("BEGIN IMMEDIATE", error);
}

bool cStore::EndWrite(bool began, bool ok, std::string &error)
{
    if (!began)
        return ok;
    std::string ignored;
    if (ok && Writer.Exec("COMMIT", error))
        return true;
    Writer.Exec("ROLLBACK", ignored);
    return false;
}

long long cStore::Insert(const cTableDef &table, const cFieldValues &values, std::string &error)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    bool began = false;
    if (!Writer.Handle() || !BeginWrite(began, error))
        return 0;
    long long seq = InsertLocked(table, values, error);
    return EndWrite(began, seq != 0, error) ? seq : 0;
}

bool cStore::Transaction(const std::function<bool(std::string &)> &work, std::string &error)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    bool began = false;
    if (!Writer.Handle() || !BeginWrite(began, error))
        return false;
    return EndWrite(began, work(error), error);
}

// Runs one prepared change statement inside a write; the number of records changed or -1.
int cStore::Change(sqlite3_stmt *st, std::string &error)
{
    if (!st)
    {
        error = Writer.Handle() ? sqlite3_errmsg(Writer.Handle()) : "database closed";
        return -1;
    }
    bool began = false;
    if (!BeginWrite(began, error))
        return -1;
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    int changed = sqlite3_changes(Writer.Handle());
    if (rc != SQLITE_DONE)
        error = sqlite3_errmsg(Writer.Handle());
    return EndWrite(began, rc == SQLITE_DONE, error) ? changed : -1;
}

int cStore::Update(const cTableDef &table, long long seq, const cFieldValues &values, std::string &error)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    std::string sets;
    for (const auto &v : values)
        sets += (sets.empty() ? "f" : ", f") + std::to_string(v.first) + " = ?";
    if (sets.empty())
    {
        cRecord r;
        return ReadBySeq(table, seq, r) ? 1 : 0;
    }
    sqlite3_stmt *st = Writer.Prepare("UPDATE \"" + table.Name + "\" SET " + sets + " WHERE f1 = ?");
    if (st)
    {
        int i = 1;
        for (const auto &v : values)
            sqlite3_bind_text(st, i++, v.second.data(), static_cast<int>(v.second.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(st, i, seq);
    }
    return Change(st, error);
}

int cStore::Delete(const cTableDef &table, long long seq, std::string &error)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    sqlite3_stmt *st = Writer.Prepare("DELETE FROM \"" + table.Name + "\" WHERE f1 = ?");
    if (st)
        sqlite3_bind_int64(st, 1, seq);
    return Change(st, error);
}

bool cStore::ReadBySeq(const cTableDef &table, long long seq, cRecord &out)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    return Writer.ReadBySeq(table, seq, out);
}

std::vector<cRecord> cStore::Select(const cTableDef &table, int keyField, const std::string &key,
                                    int orderField, int offset, int limit, int *total)
{
    std::lock_guard<std::recursive_mutex> lock(Mutex);
    return Writer.Select(table, keyField, key, orderField, offset, limit, total);
}
