// Fuzzes the function server's command handling: the input is a request text, handled against a
// demo database in a temporary file (made once per process); the reply is then read as the
// client reads the quotes reply.
//  - nothing crashes, hangs or trips a sanitizer;
//  - every request gets a JSON object text as its reply;
//  - the database stays openable by a second connection and keeps its demo provider.
#include "server/DemoData.h"
#include "server/FunctionHandler.h"
#include "workspace/ProviderQuotes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{
void Check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "functionserver fuzz: %s\n", what);
    std::abort();
}

const std::string &DatabasePath()
{
    static const std::string path = "/tmp/dorvane-fuzz-functionserver-" + std::to_string(::getpid()) + ".db";
    return path;
}

void RemoveDatabase()
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        ::unlink((DatabasePath() + suffix).c_str());
}

cStore &DemoStore()
{
    static cStore *store = []
    {
        RemoveDatabase();
        std::atexit(RemoveDatabase);
        auto *s = new cStore;
        std::string error;
        Check(s->Open(DatabasePath(), error) && FillDemoData(*s, error), "the demo database cannot be made");
        return s;
    }();
    return *store;
}

void CheckOpenable()
{
    cStore other;
    std::string error;
    Check(other.Open(DatabasePath(), error), "the database no longer opens");
    Check(!other.IsEmpty() && DemoProviderSeq(other) > 0, "the database lost its demo provider");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    cFunctionHandler handler(DemoStore());
    const std::string reply = handler.Handle(std::string_view(reinterpret_cast<const char *>(data), size));
    Check(reply.size() >= 2 && reply.front() == '{' && reply.back() == '}', "the reply is no JSON object");
    cProviderQuotes quotes;
    quotes.ReadReply(reply);
    static unsigned runs = 0;
    if (++runs % 256 == 1)
        CheckOpenable();
    return 0;
}
