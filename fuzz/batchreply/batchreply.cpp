// Fuzzes the reply side of the data client: a reply text read as comma-text with its error
// entries taken out, a batch reply turned into a record set and walked by field code, and the
// text encodings of field values and notes.
// Input: the first line is the query's field list; the rest is the reply text.
#include "dataclient/FieldCodes.h"
#include "dataclient/cBatchSet.h"
#include "dataclient/cRecordBatch.h"
#include "toolkit/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace
{
constexpr std::size_t MaxInput = 1 << 20;
constexpr int MaxWalk = 1000;
constexpr int MaxCodes = 50;

void Walk(cBatchSet &set, const cStringList &codes)
{
    if (!set.First())
        return;
    int walked = 0;
    do
    {
        for (int i = 0; i < codes.Count() && i < MaxCodes; ++i)
            set.GetField(codes[i]);
        set.GetField("22");
        set.GetField("f1");
    } while (++walked < MaxWalk && set.Next());
    set.GoTo(-1);
    set.GoTo(set.RecordCount);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > MaxInput)
        return 0;
    std::string_view input(reinterpret_cast<const char *>(data), size);
    std::size_t newline = input.find('\n');
    std::string fieldList(input.substr(0, newline));
    std::string_view text =
        newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
    // A reply ends at its NUL.
    text = text.substr(0, text.find('\0'));

    // As the connection reads a reply.
    cStringList reply;
    reply.SetCommaText(text);
    StrToIntDef(reply.Values("ErrorCode"), 0);
    reply.SetValues("Error", "");
    reply.SetValues("ErrorCode", "");

    // As a batch query takes it.
    cRecordBatch batch;
    batch.Table = "T";
    batch.FieldList = fieldList;
    batch.TakeReply(reply);
    cStringList codes;
    codes.SetCommaText(batch.FieldList);
    if (batch.BatchSet() != nullptr)
        Walk(*batch.BatchSet(), codes);

    // The reply lines taken directly as record lines.
    cBatchSet set(reply, fieldList, "T");
    Walk(set, codes);

    for (int i = 0; i < reply.Count() && i < MaxWalk; ++i)
    {
        EncodeNoteLine(reply[i]);
        DecodeLineBreaks(reply[i]);
        EncodeLineBreaks(reply[i]);
        NormalizeFieldCode(reply[i]);
        TableNameForRequest(reply[i]);
        TableNameForUpdate(reply[i]);
    }
    return 0;
}
