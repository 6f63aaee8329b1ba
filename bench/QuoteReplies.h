// The large "getproviderquotes" reply shared by the benchmarks (bench_ui loads it into the main
// window, bench_json parses it with cJSON and with the baseline JSON libraries): 2,000 cases with
// 5 quotes each, in the server's shape. Header-only: every benchmark binary builds its own copy.
#pragma once

#include "json/cJSON.h"

#include <string>
#include <utility>

namespace bench
{
constexpr int LargeReplyCases = 2000;
constexpr int LargeReplyQuotesPerCase = 5;

// The first quote of every case is awarded to the provider. For the search: no quote is awarded,
// and hospitals and categories vary.
inline std::string MakeLargeQuotesReply(bool forSearch = false)
{
    const char *const categories[] = {"Home Health Aide", "Oxygen", "Hospital Bed", "Wheelchair", "Walker"};
    cJSON reply;
    int quoteKey = 90000;
    for (int c = 0; c < LargeReplyCases; ++c)
    {
        const std::string caseKey = std::to_string(1000 + c);
        cJSON *entry = reply.GetObject(caseKey);
        cJSON *fields = entry->GetObject("Fields");
        const std::pair<const char *, std::string> caseValues[] = {
            {"ca1", caseKey},
            {"ca10", std::to_string(500 + c)},
            {"ca11", "12"},
            {"ca12", "20240105"},
            {"ca13", "20240110143000"},
            {"ca14", "4B"},
            {"ca15", "2"},
            {"ca19", "3"},
            {"ca20", "4"},
            {"ca21", ""},
            {"ca22", "CASE-" + caseKey},
            {"H10", forSearch ? "Hospital " + std::to_string(c % 20) : "St. Mary's Hospital"},
            {"P13", "123-45-6789"},
            {"P14", "03/14/1941"},
            {"Ip10", "Medicare"},
            {"Is10", "Medicaid"},
            {"It10", ""},
            {"Status", "Open"}};
        for (const auto &[code, value] : caseValues)
            fields->SetString(code, value);
        cJSON *quotes = entry->GetObject("QuoteList");
        const std::string awarded = forSearch ? std::string() : std::to_string(quoteKey);
        for (int q = 0; q < LargeReplyQuotesPerCase; ++q)
        {
            const std::string key = std::to_string(quoteKey++);
            cJSON *quote = quotes->GetObject(key);
            quote->SetString("Status", q == 0 ? "Awarded" : "Open");
            quote->SetString("CanHide", "N");
            quote->SetString("f10", std::to_string(700 + q));
            quote->SetString("cn14", "20240112090000");
            quote->SetString("f13", q < 2 ? "125.00" : "");
            quote->SetString("f14", q < 2 && !forSearch ? "A" : "");
            quote->SetString("cn15", "Needs a walker, help with bathing and a low bed");
            quote->SetString("pc12", forSearch ? categories[q] : "Home Health Aide");
            quote->SetString("cn16", q == 0 && !forSearch ? awarded : "");
        }
    }
    return reply.ToText();
}
} // namespace bench
