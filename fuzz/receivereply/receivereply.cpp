// Fuzzes the client's whole reply path: the input after its first byte is what a data server
// sends, written into one end of a socket pair whose writing side is then shut, and read by a
// dbServerConnection attached to the other end. The first byte picks the call that reads it.
//  - nothing crashes, hangs (the stream ends where the input does) or trips a sanitizer;
//  - ReceiveReply of a NUL-terminated text keeps the text exactly and its comma-text items less
//    "Error" and "ErrorCode"; a reply without its NUL, or an empty one, is no reply.
#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// Fits the socket pair's buffer, so the whole input is written before the client reads.
constexpr std::size_t MaxInput = 64 * 1024;

void Check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "receivereply fuzz: %s\n", what);
    std::abort();
}

const std::string &LocalFile()
{
    static const std::string path = "/tmp/dorvane-fuzz-receivereply-" + std::to_string(::getpid());
    return path;
}

void CheckPlainReply(dbServerConnection &link, const std::string &stream, bool received)
{
    const std::size_t nul = stream.find('\0');
    const std::string text = stream.substr(0, nul);
    if (nul == std::string::npos || text.empty())
    {
        Check(!received, "a reply without its NUL or an empty one was taken");
        return;
    }
    Check(received, "a NUL-terminated reply was not taken");
    Check(link.ReplyText == text, "the reply text differs from what was sent");
    cStringList expected;
    expected.SetCommaText(text);
    expected.SetValues("Error", "");
    expected.SetValues("ErrorCode", "");
    Check(link.Reply.ToVector() == expected.ToVector(), "the reply items differ from the text's");
}

void Run(dbServerConnection &link, int pick, const std::string &stream)
{
    const int call = pick % 10;
    cStringList lines, notes;
    notes.Add("n1");
    std::string fields = "f2,f3", noteText = "f20";
    switch (call)
    {
    case 0:
        CheckPlainReply(link, stream, link.ReceiveReply());
        break;
    case 1:
        link.ReadRecord("Cases", "7", lines, &notes, "A", "B");
        break;
    case 2:
        link.ReadList("CaseNeeds", 10, "7", "", lines, &notes);
        break;
    case 3:
        link.ReadFields("Cases", "7", fields, "", noteText);
        break;
    case 4:
        link.ReadFields("Cases", "7", fields, "", noteText, 1, LocalFile());
        break;
    case 5:
    {
        cRecordBatch batch;
        if (batch.Open(&link, "CaseNeeds", "CaseSeq", "7", "", 0, 50, pick / 10 % 2 ? "*" : "f2,f3") &&
            batch.First())
            for (int walked = 0; walked < 1000 && batch.Next(); ++walked)
                batch.GetField("f2");
        break;
    }
    case 6:
        link.GetFileInfo("Client/Dorvane.exe");
        break;
    case 7:
        link.DownloadFile("Client/Dorvane.exe", LocalFile());
        break;
    case 8:
        link.AddRecord("Cases", lines, &notes);
        break;
    default:
        if (!link.UpdateRecord("Cases", "7", lines))
            link.DeleteRecord("Cases", "7");
        break;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0 || size > MaxInput)
        return 0;
    const std::string stream(reinterpret_cast<const char *>(data + 1), size - 1);
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return 0;
    const int buffer = 2 * static_cast<int>(MaxInput);
    ::setsockopt(pair[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    if (::write(pair[1], stream.data(), stream.size()) != static_cast<ssize_t>(stream.size()))
    {
        ::close(pair[0]);
        ::close(pair[1]);
        return 0;
    }
    ::shutdown(pair[1], SHUT_WR);
    {
        // A host name longer than a socket takes: every reconnection fails at once, offline.
        dbServerConnection link(std::string(200, 'x'), "1", "", "", false, 1);
        link.Socket = std::make_unique<PlainSocket>();
        Check(link.Socket->Attach(pair[0], false) == SOCK_SUCCESS, "attach failed");
        link.IsConnectedFlag = true;
        Run(link, data[0], stream);
        // Whatever follows the first reply is read as the next one.
        link.ReceiveReply();
    }
    ::close(pair[1]);
    ::unlink(LocalFile().c_str());
    return 0;
}
