// cJSON benchmarks: reading and writing a getproviderquotes-like reply of a few hundred quotes,
// each beside a baseline doing a plain pass over the same bytes in the same binary; reading the
// 2,000-case reply of the quote load, alone and into the model. The other JSON libraries' figures
// for the same replies are in json_nlohmann.cpp and json_rapidjson.cpp.
#include "bench/json/Replies.h"
#include "workspace/ProviderQuotes.h"
#include "json/cJSON.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace
{

using bench_json::LargeReply;

const std::string &Reply()
{
    return bench_json::SmallReply();
}

using bench_json::Walk;

void BM_ParseReply(benchmark::State &state)
{
    const std::string &text = Reply();
    for (auto _ : state)
    {
        cJSON reply(text);
        benchmark::DoNotOptimize(reply.Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_ParseAndWalkReply(benchmark::State &state)
{
    const std::string &text = Reply();
    for (auto _ : state)
    {
        cJSON reply(text);
        benchmark::DoNotOptimize(Walk(reply));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_WriteReply(benchmark::State &state)
{
    const std::string &text = Reply();
    cJSON reply(text);
    for (auto _ : state)
    {
        std::string written = reply.ToText();
        benchmark::DoNotOptimize(written.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_BuildRequest(benchmark::State &state)
{
    for (auto _ : state)
    {
        cJSON request;
        request.SetValue("ServerCommand", "getproviderquotes");
        request.SetValue("ProviderSeq", "12");
        request.SetValue("AliasList",
                         "cn=CaseNeeds:f10,ca=Cases:cn10,P=Patients:ca10,H=ProviderEntities:ca11,"
                         "Ip=InsuranceTypes:ca19,Is=InsuranceTypes:ca20,It=InsuranceTypes:ca21,"
                         "pt=ProviderTypes:cn11,pc=ProviderCategories:cn12,pd=ProviderCategoryDetails:cn13");
        request.SetValue("QuoteFieldList", "f10,f12,f13,f14,cn14,cn15,cn16,pt10,pc12,pd11");
        request.SetValue("CaseFieldList",
                         "ca1,ca10,ca11,ca12,ca13,ca14,ca15,ca19,ca20,ca21,ca22,H10,P13,P14,Ip10,Is10,It10");
        std::string text = request.ToText();
        benchmark::DoNotOptimize(text.data());
    }
}

// The 2,000-case reply: the parse alone, and parse and model as the quote load does them.
void BM_ParseLargeReply(benchmark::State &state)
{
    const std::string &text = LargeReply();
    for (auto _ : state)
    {
        cJSON reply(text);
        benchmark::DoNotOptimize(reply.Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ParseLargeReplyToModel(benchmark::State &state)
{
    cProviderQuotes quotes;
    for (auto _ : state)
    {
        quotes.ReadReply(LargeReply());
        benchmark::DoNotOptimize(quotes.QuoteCount());
    }
    state.counters["quotes"] = quotes.QuoteCount();
}

// Baseline: one plain pass over the same bytes, tracking quotes and counting top-level commas.
void BM_BaselineScan(benchmark::State &state)
{
    const std::string &text = Reply();
    for (auto _ : state)
    {
        bool inQuote = false;
        std::size_t commas = 0;
        int depth = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
        {
            const char c = text[i];
            if (c == '\\')
                ++i;
            else if (c == '"')
                inQuote = !inQuote;
            else if (!inQuote && (c == '{' || c == '['))
                ++depth;
            else if (!inQuote && (c == '}' || c == ']'))
                --depth;
            else if (!inQuote && c == ',' && depth == 1)
                ++commas;
        }
        benchmark::DoNotOptimize(commas);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Baseline: copying the bytes (what receiving the reply into a string costs at least).
void BM_BaselineCopy(benchmark::State &state)
{
    const std::string &text = Reply();
    for (auto _ : state)
    {
        std::string copy = text;
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// Hostile shape: 100,000 nested brackets around items, against the plain pass over it.
const std::string &Deep()
{
    static const std::string text = []
    {
        std::string s(100000, '[');
        for (int i = 0; i < 20000; ++i)
            s += "[1,{a:'x'}],";
        s += std::string(100000, ']');
        return s;
    }();
    return text;
}

void BM_ParseDeepNesting(benchmark::State &state)
{
    const std::string &text = Deep();
    for (auto _ : state)
    {
        cJSON j(text);
        benchmark::DoNotOptimize(j.Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_BaselineScanDeepNesting(benchmark::State &state)
{
    const std::string &text = Deep();
    for (auto _ : state)
    {
        std::size_t opens = 0;
        for (char c : text)
            opens += c == '[';
        benchmark::DoNotOptimize(opens);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

} // namespace

BENCHMARK(BM_ParseReply);
BENCHMARK(BM_ParseAndWalkReply);
BENCHMARK(BM_WriteReply);
BENCHMARK(BM_BuildRequest);
BENCHMARK(BM_BaselineScan);
BENCHMARK(BM_BaselineCopy);
BENCHMARK(BM_ParseLargeReply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseLargeReplyToModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseDeepNesting);
BENCHMARK(BM_BaselineScanDeepNesting);

BENCHMARK_MAIN();
