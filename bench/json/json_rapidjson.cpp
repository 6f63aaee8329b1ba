// Baseline: RapidJSON (Document::Parse, strings copied into the document) reading the strict-JSON
// form of the same replies as the cJSON benchmarks, walked the same way. Each benchmark checks
// once, before timing, that its walk or model matches what cJSON reads, and stops with an error
// rather than time a failed parse.
#include "bench/json/Baselines.h"

#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdint>

namespace
{
using rapidjson::Document;
using rapidjson::Value;
using namespace bench_json;

// False when the text is no JSON.
bool Parse(const std::string &text, Document &tree)
{
    tree.Parse(text.data(), text.size());
    return !tree.HasParseError();
}

std::string_view View(const Value &value, std::string &buffer)
{
    if (value.IsString())
        return {value.GetString(), value.GetStringLength()};
    buffer.clear();
    if (!value.IsNull())
    {
        rapidjson::StringBuffer out;
        rapidjson::Writer<rapidjson::StringBuffer> writer(out);
        value.Accept(writer);
        buffer.assign(out.GetString(), out.GetSize());
    }
    return buffer;
}

// The value as cJSON's GetValue gives it (a copy): "" for a missing or null member.
std::string Text(const Value &object, const char *name)
{
    const auto it = object.FindMember(name);
    if (it == object.MemberEnd())
        return {};
    std::string buffer;
    return std::string(View(it->value, buffer));
}

const Value *Child(const Value &object, const char *name)
{
    const auto it = object.FindMember(name);
    return it != object.MemberEnd() && it->value.IsObject() ? &it->value : nullptr;
}

std::size_t Walk(const Document &reply)
{
    std::size_t seen = 0;
    if (!reply.IsObject())
        return 0;
    for (const auto &entry : reply.GetObject())
    {
        if (!entry.value.IsObject())
            continue;
        if (const Value *fields = Child(entry.value, "Fields"))
            for (const char *code : WalkCaseFields)
                seen += Text(*fields, code).size();
        const Value *quotes = Child(entry.value, "QuoteList");
        if (!quotes)
            continue;
        for (const auto &quote : quotes->GetObject())
            if (quote.value.IsObject())
                for (const char *code : WalkQuoteFields)
                    seen += Text(quote.value, code).size();
    }
    return seen;
}

// cProviderQuotes::ReadReply over this library's tree.
void ReadModel(const Document &reply, cProviderQuotes &model)
{
    model.Clear();
    if (!reply.IsObject())
        return;
    model.Error = Text(reply, "Error");
    model.NoQuotes = Text(reply, "NoQuotes");
    if (!model.Error.empty() || !model.NoQuotes.empty())
        return;
    std::string buffer;
    for (const auto &entry : reply.GetObject())
    {
        if (!entry.value.IsObject())
            continue;
        auto caseObject = std::make_unique<cCaseObject>();
        caseObject->Key.assign(entry.name.GetString(), entry.name.GetStringLength());
        std::string ca1;
        if (const Value *fields = Child(entry.value, "Fields"))
            for (const auto &member : fields->GetObject())
                SetCaseMember(*caseObject, ca1, {member.name.GetString(), member.name.GetStringLength()},
                              View(member.value, buffer));
        FinishCase(*caseObject, ca1);
        cOpenCase open;
        if (const Value *quotes = Child(entry.value, "QuoteList"))
            for (const auto &quoteNode : quotes->GetObject())
            {
                auto quote = std::make_unique<cCaseQuoteObject>(cCaseQuoteObject::cWithoutCase{});
                quote->Key.assign(quoteNode.name.GetString(), quoteNode.name.GetStringLength());
                std::string canHide;
                if (quoteNode.value.IsObject())
                    for (const auto &member : quoteNode.value.GetObject())
                        SetQuoteMember(*quote, canHide,
                                       {member.name.GetString(), member.name.GetStringLength()},
                                       View(member.value, buffer));
                FinishQuote(*quote, canHide);
                PlaceQuote(model, open, std::move(quote), *caseObject);
            }
        PlaceCase(model, open, std::move(caseObject));
    }
}

struct cRapidJson
{
    using Tree = Document;
    static bool Parse(const std::string &text, Tree &tree) { return ::Parse(text, tree); }
    static std::size_t Size(const Tree &tree) { return tree.MemberCount(); }
    static std::size_t Walk(const Tree &tree) { return ::Walk(tree); }
    static void ReadModel(const Tree &tree, cProviderQuotes &model) { ::ReadModel(tree, model); }
};

[[maybe_unused]] const bool Registered = RegisterBaselines<cRapidJson>("RapidJson");
} // namespace
