// The toolkit's parsers on hostile inputs of growing size (the argument, in KiB or thousands of
// items). Each should grow linearly: a time that quadruples when the size doubles is a quadratic
// step. Shapes: runs of commas and of doubled quotes in comma text, a sorted list loaded from a
// comma text in reverse order, and an ini text of many sections searched for the last one.
#include "toolkit/IniFile.h"
#include "toolkit/StringList.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
std::string Repeat(const std::string &piece, std::size_t size)
{
    std::string text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    return text;
}

void CommaTextOf(benchmark::State &state, const std::string &piece)
{
    const std::string text = Repeat(piece, static_cast<std::size_t>(state.range(0)) * 1024);
    cStringList list;
    for (auto _ : state)
    {
        list.SetCommaText(text);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_CommaTextOfCommas(benchmark::State &state)
{
    CommaTextOf(state, ",");
}

void BM_CommaTextOfDoubledQuotes(benchmark::State &state)
{
    CommaTextOf(state, "\"a\"\"b\"c\",");
}

void BM_SortedListLoadedInReverse(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0)) * 1000;
    std::string text;
    for (int i = count; i > 0; --i)
        text += std::to_string(1000000 + i) + ",";
    text.pop_back();
    for (auto _ : state)
    {
        cStringList list;
        list.SetSorted(true);
        list.SetCommaText(text);
        benchmark::DoNotOptimize(list.Count());
    }
}

void BM_IniLastOfManySections(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0)) * 1000;
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "[S" + std::to_string(i) + "]\nKey=" + std::to_string(i) + "\n";
    const std::string last = "S" + std::to_string(count - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(cIniFile::ReadStringFromText(text, last, "Key", ""));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

} // namespace

BENCHMARK(BM_CommaTextOfCommas)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommaTextOfDoubledQuotes)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortedListLoadedInReverse)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniLastOfManySections)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
