// The four baseline benchmarks of a JSON library, written once: parse the 300-quote reply, parse
// and walk it, parse the 2,000-case reply, and read that into the quote model. Each checks once,
// before timing, that its walk or model matches what cJSON reads, and stops with an error rather
// than time a failed parse. L describes the library:
//   using Tree;                                    a parsed document
//   static bool Parse(const std::string &, Tree &); false when the text is no JSON
//   static std::size_t Size(const Tree &);          members of the top level
//   static std::size_t Walk(const Tree &);          the same field reads as cJSON's walk
//   static void ReadModel(const Tree &, cProviderQuotes &);
#pragma once

#include "bench/json/Replies.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace bench_json
{
// Parses into tree; false, with the benchmark stopped by an error, when the library refuses it.
template <class L> bool ParseOrStop(benchmark::State &state, const std::string &text, typename L::Tree &tree)
{
    if (L::Parse(text, tree))
        return true;
    state.SkipWithError("the library refused the reply");
    return false;
}

template <class L> void ParseBaseline(benchmark::State &state, const std::string &text)
{
    for (auto _ : state)
    {
        typename L::Tree tree;
        if (!ParseOrStop<L>(state, text, tree))
            break;
        benchmark::DoNotOptimize(L::Size(tree));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

template <class L> void BM_ParseReply(benchmark::State &state)
{
    ParseBaseline<L>(state, StrictSmallReply());
}

template <class L> void BM_ParseLargeReply(benchmark::State &state)
{
    ParseBaseline<L>(state, StrictLargeReply());
}

template <class L> void BM_ParseAndWalkReply(benchmark::State &state)
{
    const std::string &text = StrictSmallReply();
    {
        typename L::Tree tree;
        if (!L::Parse(text, tree) || L::Walk(tree) != ReferenceWalk())
        {
            state.SkipWithError("the walk differs from cJSON's or the parse failed");
            return;
        }
    }
    for (auto _ : state)
    {
        typename L::Tree tree;
        if (!ParseOrStop<L>(state, text, tree))
            break;
        benchmark::DoNotOptimize(L::Walk(tree));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

template <class L> void BM_ParseLargeReplyToModel(benchmark::State &state)
{
    const std::string &text = StrictLargeReply();
    cProviderQuotes model;
    {
        typename L::Tree tree;
        if (!ParseOrStop<L>(state, text, tree))
            return;
        L::ReadModel(tree, model);
        if (!(Summarise(model) == ReferenceModel()))
        {
            state.SkipWithError("the model differs from cJSON's");
            return;
        }
    }
    for (auto _ : state)
    {
        // The tree lives as long as cJSON's does in ReadReply: parse, walk, release.
        typename L::Tree tree;
        if (!ParseOrStop<L>(state, text, tree))
            break;
        L::ReadModel(tree, model);
        benchmark::DoNotOptimize(model.QuoteCount());
    }
    state.counters["quotes"] = model.QuoteCount();
}

// Registers the four as BM_ParseReply_<suffix> and so on (the names bench.sh pairs up).
template <class L> bool RegisterBaselines(const std::string &suffix)
{
    benchmark::RegisterBenchmark(("BM_ParseReply_" + suffix).c_str(), BM_ParseReply<L>);
    benchmark::RegisterBenchmark(("BM_ParseAndWalkReply_" + suffix).c_str(), BM_ParseAndWalkReply<L>);
    benchmark::RegisterBenchmark(("BM_ParseLargeReply_" + suffix).c_str(), BM_ParseLargeReply<L>)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_ParseLargeReplyToModel_" + suffix).c_str(),
                                 BM_ParseLargeReplyToModel<L>)
        ->Unit(benchmark::kMillisecond);
    return true;
}
} // namespace bench_json
