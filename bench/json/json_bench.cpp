// cJSON benchmarks: reading and writing a getproviderquotes-like reply of a few hundred quotes,
// each beside a baseline doing a plain pass over the same bytes in the same binary.
#include "json/cJSON.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace
{

// A reply in the server's shape: one member per case (named by the case key) holding "Fields"
// and "QuoteList"; quotesPerCase quotes per case.
std::string MakeReply(int cases, int quotesPerCase)
{
    cJSON reply;
    int quoteKey = 9000;
    for (int c = 0; c < cases; ++c)
    {
        const std::string caseKey = std::to_string(1000 + c);
        cJSON *entry = reply.GetObject(caseKey);
        cJSON *fields = entry->GetObject("Fields");
        fields->SetValue("ca1", caseKey);
        fields->SetValue("ca10", std::to_string(500 + c));
        fields->SetString("ca12", "20240105");
        fields->SetString("ca13", "20240110143000");
        fields->SetString("ca14", "4B");
        fields->SetString("ca15", "2");
        fields->SetString("ca22", "CASE-" + caseKey);
        fields->SetString("H10", "St. Mary's Hospital, North Campus");
        fields->SetString("P13", "123-45-6789");
        fields->SetString("P14", "03/14/1941");
        fields->SetString("Ip10", "Medicare");
        fields->SetString("Is10", "");
        fields->SetString("It10", "");
        fields->SetString("Status", "Open");
        cJSON *quotes = entry->GetObject("QuoteList");
        for (int q = 0; q < quotesPerCase; ++q)
        {
            cJSON *quote = quotes->GetObject(std::to_string(quoteKey++));
            quote->SetString("Status", q == 0 ? "Accepted" : "New");
            quote->SetString("CanHide", q == 2 ? "Y" : "");
            quote->SetValue("f10", std::to_string(700 + q));
            quote->SetString("cn14", "20240112090000");
            quote->SetString("f13", q == 0 ? "125.00" : "");
            quote->SetString("f14", q == 0 ? "A" : "");
            quote->SetString("cn15", "Needs a walker, help with bathing and a \"low\" bed");
            quote->SetString("pc12", "Home Health Aide");
            quote->SetString("cn16", "");
        }
    }
    return reply.ToText();
}

const std::string &Reply()
{
    static const std::string text = MakeReply(100, 3); // 300 quotes
    return text;
}

// What LoadProviderQuotes does with a reply: walk every case and quote and read the values.
std::size_t Walk(cJSON &reply)
{
    std::size_t seen = 0;
    for (int i = 0; i < reply.Count(); ++i)
    {
        cJSON *entry = reply.Items().Object(i);
        if (!entry)
            continue;
        cJSON *fields = entry->GetObject("Fields");
        cJSON *quotes = entry->GetObject("QuoteList");
        seen += fields->GetValue("ca22").size() + fields->GetValue("H10").size();
        for (int q = 0; q < quotes->Count(); ++q)
        {
            cJSON *quote = quotes->Items().Object(q);
            if (!quote)
                continue;
            seen += quote->GetValue("Status").size() + quote->GetValue("cn14").size() +
                    quote->GetValue("cn15").size() + quote->GetValue("cn16").size();
        }
    }
    return seen;
}

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
BENCHMARK(BM_ParseDeepNesting);
BENCHMARK(BM_BaselineScanDeepNesting);

BENCHMARK_MAIN();
