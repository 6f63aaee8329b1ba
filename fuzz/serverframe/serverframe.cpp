// Feeds arbitrary bytes as a stream of request frames (and as a function-server request) to the
// server's handlers over an in-memory demo database.
#include "server/DemoData.h"
#include "server/FileArea.h"
#include "server/Frame.h"
#include "server/FunctionHandler.h"
#include "server/RequestHandler.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
cStore &DemoStore()
{
    static cStore *store = []
    {
        auto *s = new cStore;
        std::string error;
        if (!s->Open(":memory:", error) || !FillDemoData(*s, error))
            __builtin_trap();
        return s;
    }();
    return *store;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    cStore &store = DemoStore();
    static const cFileArea files("/nonexistent/dorvane-fuzz/files");
    cRequestHandler handler(store, files, "127.0.0.1");
    // The first byte says whether the handshake is done first, so that the table requests run.
    if (size > 0 && (data[0] & 1))
        handler.Handle(1, 0, "ProgramID=DorvaneClient");
    size_t at = size > 0 ? 1 : 0;
    while (size - at >= FrameHeaderSize)
    {
        cFrameHeader header;
        if (!ParseFrameHeader(data + at, header))
            break;
        at += FrameHeaderSize;
        size_t length = header.BodyLength;
        if (length > size - at)
            break;
        std::string_view text;
        if (!FrameBodyText(reinterpret_cast<const char *>(data + at), static_cast<std::uint32_t>(length),
                           text))
            break;
        handler.Handle(header.Code, header.Arg, text);
        at += length;
    }
    cFunctionHandler functions(store);
    functions.Handle(std::string_view(reinterpret_cast<const char *>(data), size));
    return 0;
}
