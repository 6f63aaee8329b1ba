// Baseline: nlohmann::json reading the strict-JSON form of the same replies as the cJSON
// benchmarks, walked the same way. Each benchmark checks once, before timing, that its walk or
// model matches what cJSON reads, and stops with an error rather than time a failed parse.
//
// The default json type, as a user would pick it. It keeps an object's members sorted by name, not
// in the reply's order, which the model keeps; for these replies both orders are the same (the case
// and quote keys are ascending numbers of one length). The type that keeps the order, ordered_json,
// looks for a repeated name among all earlier members at every insert, and is slower still.
#include "bench/json/Baselines.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdint>

namespace
{
using Json = nlohmann::json;
using namespace bench_json;

// Parses without exceptions; false when the text is no JSON.
bool Parse(const std::string &text, Json &tree)
{
    tree = Json::parse(text, nullptr, false);
    return !tree.is_discarded();
}

// The value as cJSON's GetValue gives it: "" for a missing or null member, the text of a string,
// the written form of anything else.
std::string Text(const Json &object, const char *name)
{
    const auto it = object.find(name);
    if (it == object.end() || it->is_null())
        return {};
    if (it->is_string())
        return it->get_ref<const std::string &>();
    return it->dump();
}

std::size_t Walk(const Json &reply)
{
    std::size_t seen = 0;
    for (const auto &entry : reply)
    {
        if (!entry.is_object())
            continue;
        const auto fields = entry.find("Fields");
        if (fields != entry.end() && fields->is_object())
            for (const char *code : WalkCaseFields)
                seen += Text(*fields, code).size();
        const auto quotes = entry.find("QuoteList");
        if (quotes == entry.end() || !quotes->is_object())
            continue;
        for (const auto &quote : *quotes)
            if (quote.is_object())
                for (const char *code : WalkQuoteFields)
                    seen += Text(quote, code).size();
    }
    return seen;
}

std::string_view View(const Json &value, std::string &buffer)
{
    if (value.is_string())
        return value.get_ref<const std::string &>();
    buffer = value.is_null() ? std::string() : value.dump();
    return buffer;
}

// cProviderQuotes::ReadReply over this library's tree.
void ReadModel(const Json &reply, cProviderQuotes &model)
{
    model.Clear();
    if (!reply.is_object())
        return;
    model.Error = Text(reply, "Error");
    model.NoQuotes = Text(reply, "NoQuotes");
    if (!model.Error.empty() || !model.NoQuotes.empty())
        return;
    std::string buffer;
    for (const auto &[caseKey, entry] : reply.items())
    {
        if (!entry.is_object())
            continue;
        auto caseObject = std::make_unique<cCaseObject>();
        caseObject->Key = caseKey;
        std::string ca1;
        if (const auto fields = entry.find("Fields"); fields != entry.end() && fields->is_object())
            for (const auto &[name, value] : fields->items())
                SetCaseMember(*caseObject, ca1, name, View(value, buffer));
        FinishCase(*caseObject, ca1);
        cOpenCase open;
        if (const auto quotes = entry.find("QuoteList"); quotes != entry.end() && quotes->is_object())
            for (const auto &[quoteKey, quoteNode] : quotes->items())
            {
                auto quote = std::make_unique<cCaseQuoteObject>(cCaseQuoteObject::cWithoutCase{});
                quote->Key = quoteKey;
                std::string canHide;
                if (quoteNode.is_object())
                    for (const auto &[name, value] : quoteNode.items())
                        SetQuoteMember(*quote, canHide, name, View(value, buffer));
                FinishQuote(*quote, canHide);
                PlaceQuote(model, open, std::move(quote), *caseObject);
            }
        PlaceCase(model, open, std::move(caseObject));
    }
}

struct cNlohmann
{
    using Tree = Json;
    static bool Parse(const std::string &text, Tree &tree) { return ::Parse(text, tree); }
    static std::size_t Size(const Tree &tree) { return tree.size(); }
    static std::size_t Walk(const Tree &tree) { return ::Walk(tree); }
    static void ReadModel(const Tree &tree, cProviderQuotes &model) { ::ReadModel(tree, model); }
};

[[maybe_unused]] const bool Registered = RegisterBaselines<cNlohmann>("Nlohmann");
} // namespace
