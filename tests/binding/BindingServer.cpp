#include "tests/binding/BindingServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <sqlite3.h>

namespace
{
constexpr int StartTimeoutMs = 60000;
constexpr int ReceiveTimeoutSeconds = 30;
} // namespace

cBindingServer::~cBindingServer()
{
    Stop();
}

bool cBindingServer::Start(std::string &error)
{
    if (!Folder.isValid())
    {
        error = "no temporary folder";
        return false;
    }
    Process.setProcessChannelMode(QProcess::MergedChannels);
    Process.start(QStringLiteral(DORVANE_SERVER_PATH),
                  {QStringLiteral("--data"), Folder.path(), QStringLiteral("--reset-demo"),
                   QStringLiteral("--log-level"), QStringLiteral("error")});
    if (!Process.waitForStarted(StartTimeoutMs))
    {
        error = "server did not start";
        return false;
    }
    static const QRegularExpression portLine(QStringLiteral("data-port=(\\d+)"));
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < StartTimeoutMs)
    {
        if (Process.state() != QProcess::Running && Process.bytesAvailable() == 0)
            break;
        Process.waitForReadyRead(100);
        output += Process.readAll();
        const QRegularExpressionMatch match = portLine.match(QString::fromUtf8(output));
        if (match.hasMatch())
        {
            DataPort = match.captured(1).toInt();
            return DataPort > 0;
        }
    }
    error = "no port line from the server: " + output.toStdString();
    return false;
}

void cBindingServer::Stop()
{
    if (Process.state() == QProcess::NotRunning)
        return;
    Process.terminate();
    if (!Process.waitForFinished(10000))
    {
        Process.kill();
        Process.waitForFinished(10000);
    }
}

std::unique_ptr<dbServerConnection> cBindingServer::Connect() const
{
    return std::make_unique<dbServerConnection>("127.0.0.1", std::to_string(DataPort), "DorvaneClient", "",
                                                true, ReceiveTimeoutSeconds);
}

std::string cBindingServer::DatabasePath() const
{
    // The database is the file that begins with the SQLite header.
    const QDir folder(Folder.path());
    for (const QString &name : folder.entryList(QDir::Files))
    {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3\0", 16))
            return folder.filePath(name).toStdString();
    }
    return "";
}

cTestDatabase::cTestDatabase(const std::string &path)
{
    if (path.empty() || sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
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
    if (!Db)
        return rows;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(Db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    {
        LastError = sqlite3_errmsg(Db);
        return rows;
    }
    while (sqlite3_step(statement) == SQLITE_ROW)
    {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
        {
            const unsigned char *text = sqlite3_column_text(statement, i);
            const int size = sqlite3_column_bytes(statement, i);
            row.emplace_back(text ? reinterpret_cast<const char *>(text) : "",
                             static_cast<std::size_t>(size));
        }
        rows.push_back(std::move(row));
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
    if (!Db)
        return false;
    char *message = nullptr;
    if (sqlite3_exec(Db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
    {
        LastError = message ? message : "exec failed";
        sqlite3_free(message);
        return false;
    }
    return true;
}
