// File requests of dbServerConnection: file information, download, and the pictures that a
// chosen-field read can bring ahead of its reply (message 31002 and 31001/20013).
#include "dataclient/dbServerConnection.h"

#include "dataclient/SocketCall.h"

#include "toolkit/Files.h"
#include "toolkit/Host.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace
{
std::int32_t GetInt32(const unsigned char *at)
{
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
        static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24);
}
} // namespace

int dbServerConnection::OpenLocalFile(const std::string &path, bool truncate)
{
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    if (truncate)
        flags |= O_TRUNC;
    return ::open(path.c_str(), flags, 0644);
}

void dbServerConnection::CloseLocalFile(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

std::int32_t dbServerConnection::GetFileInfo(const std::string &serverFile)
{
    if (!Connected() || !SendMessage(MsgFile, ArgFileInfo, serverFile))
        return 0;
    LastFileSize = StrToIntDef(Reply.Values("FileSize"), 0);
    // The date is a signed 32-bit number; one that does not fit is no date.
    return StrToIntDef(Reply.Values("FileDate"), 0);
}

bool dbServerConnection::ReceiveFileHeader(std::int32_t &size, std::int32_t &date)
{
    unsigned char header[8];
    const int rc =
        SocketCall([&] { return Socket ? Socket->ReceiveBytes(header, 8, ReceiveTimeout, 0) : SOCK_ERROR; });
    if (rc != 8)
    {
        // A short read means the link is gone or went silent past ReceiveTimeout.
        IsConnectedFlag = false;
        return false;
    }
    size = GetInt32(header);
    date = GetInt32(header + 4);
    return true;
}

bool dbServerConnection::ReceiveFileData(int fd, std::int32_t size, cProgressSink *bar)
{
    if (::lseek(fd, 0, SEEK_SET) < 0)
        return false;
    std::int32_t received = 0;
    while (received < size)
    {
        const int piece = std::min<std::int32_t>(size - received, ReplyChunkSize);
        const int rc = SocketCall(
            [&] {
                return Socket ? Socket->ReceiveBytes(MessageBuffer.data(), piece, ReceiveTimeout, 0)
                              : SOCK_ERROR;
            });
        if (rc <= 0)
        {
            IsConnectedFlag = false;
            return false;
        }
        if (!WriteAll(fd, MessageBuffer.data(), static_cast<std::size_t>(rc)))
        {
            // The rest of the file is still on the wire.
            IsConnectedFlag = false;
            return false;
        }
        received += rc;
        if (bar != nullptr)
        {
            bar->SetPosition(received);
            Host().RepaintWindows();
        }
        if (rc < piece)
        {
            // A short piece: the link failed or stalled past ReceiveTimeout.
            IsConnectedFlag = false;
            return false;
        }
    }
    return true;
}

bool dbServerConnection::DownloadFile(const std::string &serverFile, const std::string &localPath,
                                      cProgressSink *bar)
{
    if (!Connected())
        return false;
    if (FileExists(localPath))
        DeleteFile(localPath);
    int fd = OpenLocalFile(localPath, true);
    if (fd < 0)
        return false;
    std::int32_t size = 0;
    std::int32_t date = 0;
    if (!SendFrame(MsgFile, ArgDownloadFile, serverFile) || !ReceiveFileHeader(size, date))
    {
        CloseLocalFile(fd);
        return false;
    }
    if (size < 0)
    {
        // Not a size: nothing after this header can be trusted as file data or as the reply.
        CloseLocalFile(fd);
        IsConnectedFlag = false;
        return false;
    }
    if (bar != nullptr)
    {
        bar->SetPosition(0);
        bar->SetMax(size);
    }
    if (!ReceiveFileData(fd, size, bar))
    {
        CloseLocalFile(fd);
        return false;
    }
    CloseLocalFile(fd);
    FileSetDate(localPath, date);
    ReceiveReply();
    return size != 0;
}

bool dbServerConnection::ReceivePictures(const std::string &localFile, int fd, cProgressSink *bar)
{
    bool dated = false;
    std::int32_t lastDate = 0;
    bool inStep = true;
    for (;;)
    {
        std::int32_t size = 0;
        std::int32_t date = 0;
        if (!ReceiveFileHeader(size, date))
        {
            inStep = false;
            break;
        }
        if (size == 0)
            break;
        if (size < 0)
        {
            inStep = false;
            break;
        }
        if (bar != nullptr)
        {
            bar->SetPosition(0);
            bar->SetMax(size);
        }
        if (::ftruncate(fd, 0) != 0 || !ReceiveFileData(fd, size, bar))
        {
            inStep = false;
            break;
        }
        lastDate = date;
        dated = true;
    }
    CloseLocalFile(fd);
    if (dated)
        FileSetDate(localFile, lastDate);
    return inStep;
}
