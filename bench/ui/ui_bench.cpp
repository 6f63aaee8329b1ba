// The quote load of the main window on a large reply (2,000 cases with 5 quotes each), offscreen:
// the whole load through a loopback function server into the two list pages, beside its steps
// (the exchange alone, the JSON parse alone, parse and model walk, the lists filled from the
// model) so each step's share can be read off. And the open-requests search over 10,000 open quotes (2,000
// cases of 20 hospitals with 5 quotes each): the match rules alone, and a change of the search text in a
// shown page with the tree's filter, relayout and paint.
#include "bench/QuoteReplies.h"
#include "bench/ReplyServer.h"
#include "dataclient/dbServerConnection.h"
#include "ui/AwardedCasesPage.h"
#include "ui/OpenRequestsPage.h"
#include "ui/QuoteLoad.h"
#include "workspace/OpenCaseFilter.h"
#include "workspace/ProviderQuotes.h"
#include "json/cJSON.h"

#include <QApplication>
#include <QLineEdit>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace
{
using bench::cReplyServer;
using bench::MakeLargeQuotesReply;

const std::string &Reply()
{
    static const std::string text = MakeLargeQuotesReply();
    return text;
}

const std::string &SearchReply()
{
    static const std::string text = MakeLargeQuotesReply(true);
    return text;
}

cReplyServer &Server()
{
    static cReplyServer server(Reply());
    return server;
}

dbServerConnection &Link()
{
    static dbServerConnection link("127.0.0.1", std::to_string(Server().Port), "", "", false, -1);
    return link;
}

void BM_JsonParse(benchmark::State &state)
{
    for (auto _ : state)
    {
        cJSON tree(Reply());
        benchmark::DoNotOptimize(tree.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Reply().size()));
}
BENCHMARK(BM_JsonParse)->Unit(benchmark::kMillisecond);

void BM_ParseAndModel(benchmark::State &state)
{
    cProviderQuotes quotes;
    for (auto _ : state)
    {
        quotes.ReadReply(Reply());
        benchmark::DoNotOptimize(quotes.QuoteCount());
    }
    state.counters["quotes"] = quotes.QuoteCount();
}
BENCHMARK(BM_ParseAndModel)->Unit(benchmark::kMillisecond);

void BM_Exchange(benchmark::State &state)
{
    const std::string request = cProviderQuotes::RequestText("12");
    for (auto _ : state)
    {
        if (!Link().SendText(request))
            state.SkipWithError("exchange failed");
        benchmark::DoNotOptimize(Link().ReplyText.size());
    }
}
BENCHMARK(BM_Exchange)->Unit(benchmark::kMillisecond);

// Its step: both list pages filled from a model read before (the pages let go of the one they
// showed, which is released).
void BM_FillLists(benchmark::State &state)
{
    cOpenRequestsPage open(true);
    cAwardedCasesPage awarded(true);
    for (auto _ : state)
    {
        state.PauseTiming();
        auto quotes = std::make_shared<cProviderQuotes>();
        quotes->ReadReply(Reply());
        state.ResumeTiming();
        open.ShowQuotes(quotes);
        awarded.ShowQuotes(quotes);
    }
}
BENCHMARK(BM_FillLists)->Unit(benchmark::kMillisecond);

// What the main window's load does: the exchange, the reply read into the case model, both list
// pages filled from it.
void BM_LoadProviderQuotes(benchmark::State &state)
{
    cOpenRequestsPage open(true);
    cAwardedCasesPage awarded(true);
    std::shared_ptr<const cProviderQuotes> quotes;
    for (auto _ : state)
    {
        quotes = FetchProviderQuotes(&Link(), "12");
        if (!quotes)
            state.SkipWithError("exchange failed");
        open.ShowQuotes(quotes);
        awarded.ShowQuotes(quotes);
    }
    state.counters["tree_cases"] = quotes ? static_cast<double>(quotes->OpenCases.size()) : 0;
    state.counters["awarded"] = quotes ? static_cast<double>(quotes->Awarded.size()) : 0;
}
BENCHMARK(BM_LoadProviderQuotes)->Unit(benchmark::kMillisecond);
// The rule over the model: index once, then one search text after another.
void BM_SearchRules(benchmark::State &state)
{
    cProviderQuotes quotes;
    quotes.ReadReply(SearchReply());
    cOpenCaseFilter filter;
    filter.Index(quotes.OpenCases);
    const char *const texts[] = {"hospital 7", "oxygen", "", "CASE-15", "no such text"};
    std::size_t next = 0;
    for (auto _ : state)
    {
        filter.Apply(texts[next++ % 5]);
        benchmark::DoNotOptimize(filter.Visible.data());
    }
    state.counters["quotes"] = quotes.QuoteCount();
}
BENCHMARK(BM_SearchRules)->Unit(benchmark::kMillisecond);

// A change of the search text in the shown page: the filter, the lines left out or shown, and the
// tree laid out and painted again (the events processed).
void BM_SearchTyping(benchmark::State &state)
{
    // The server answers one connection: every run of the benchmark uses the same link.
    static cReplyServer server(SearchReply());
    static dbServerConnection link("127.0.0.1", std::to_string(server.Port), "", "", false, -1);
    cOpenRequestsPage page(true);
    const std::shared_ptr<const cProviderQuotes> quotes = FetchProviderQuotes(&link, "12");
    if (!quotes)
    {
        state.SkipWithError("exchange failed");
        return;
    }
    page.ShowQuotes(quotes);
    page.resize(937, 533);
    page.show();
    QApplication::processEvents();
    auto *search = page.findChild<QLineEdit *>("OpenCaseSearchEdit");
    auto *tree = page.findChild<QTreeView *>("OpenCaseTreeView");
    const char *const texts[] = {"hospital 7", "oxygen", "", "case-15", "no such text"};
    std::size_t next = 0;
    for (auto _ : state)
    {
        search->setText(texts[next++ % 5]);
        tree->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["quotes"] = quotes->QuoteCount();
    state.counters["tree_cases"] = tree->model()->rowCount();
}
BENCHMARK(BM_SearchTyping)->Unit(benchmark::kMillisecond);

// What the window's thread does with a reload that ran beside it: the finished case model of
// 10,000 open quotes swapped into the shown open-requests page (model reset, cases expanded, the
// current line found again by key), laid out and painted. Two loads alternate, so every swap
// replaces every line.
void BM_SwapQuotes(benchmark::State &state)
{
    auto first = std::make_shared<cProviderQuotes>(), second = std::make_shared<cProviderQuotes>();
    first->ReadReply(SearchReply());
    second->ReadReply(SearchReply());
    cOpenRequestsPage page(true);
    page.resize(937, 533);
    page.show();
    page.ShowQuotes(first);
    auto *tree = page.findChild<QTreeView *>("OpenCaseTreeView");
    tree->setCurrentIndex(tree->model()->index(3, 0, tree->model()->index(100, 0)));
    QApplication::processEvents();
    bool flip = false;
    for (auto _ : state)
    {
        page.ShowQuotes((flip = !flip) ? second : first);
        tree->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["quotes"] = first->QuoteCount();
}
BENCHMARK(BM_SwapQuotes)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
