// The replies that bench_json reads, in the server's relaxed form (as cJSON writes them) and in the
// strict-JSON form that the baseline libraries need, plus the walks that every parser does over
// them, so that each library's figure covers the same work.
#pragma once

#include "workspace/ProviderQuotes.h"

#include <string>
#include <string_view>

class cJSON;

namespace bench_json
{
// 300 quotes (100 cases with 3 quotes each), about 75 KB.
const std::string &SmallReply();
// 2,000 cases with 5 quotes each, about 2.1 MB: the reply of bench_ui's quote load.
const std::string &LargeReply();

// The same replies in strict JSON (converted once, outside every timed loop).
const std::string &StrictSmallReply();
const std::string &StrictLargeReply();

// Strict JSON for a reply in the relaxed form. The server's replies use forms that strict parsers
// refuse: member names without quotes ({1000:{Fields:{ca1:"1000"...), a backslash before a raw
// CR, LF or TAB inside strings, 8-bit bytes, and numbers and words outside the JSON grammar. The
// conversion reads the text with cJSON and writes every name and string quoted with JSON escapes
// (8-bit bytes read as Latin-1), numbers outside the grammar and words as strings, an empty child
// as {} or []. Never fails: the cJSON reading rules make something of any text.
std::string StrictForm(std::string_view relaxed);

// The small reply's walk (what the cJSON benchmark reads): per case "ca22" and "H10" of "Fields",
// per quote "Status", "cn14", "cn15" and "cn16"; the sum of their sizes, every value copied out
// as cJSON::GetValue does.
constexpr const char *WalkCaseFields[] = {"ca22", "H10"};
constexpr const char *WalkQuoteFields[] = {"Status", "cn14", "cn15", "cn16"};
std::size_t Walk(cJSON &reply);

// The baselines' set-up checks: the small reply's walk total, the model of the large reply, as
// cJSON reads them.
std::size_t ReferenceWalk();

// The model that cProviderQuotes::ReadReply builds from the large reply, built by the baselines
// from their own trees: one call per member of a case's "Fields" and of a quote, then the
// quote's placement (open tree or awarded list) as ReadReply places it. Quotes are made as
// ReadReply makes them (without an awarded-case object until they are awarded); the texts are
// copied out of the library's tree.
void SetCaseMember(cCaseObject &target, std::string &caseKey, std::string_view name, std::string_view value);
void FinishCase(cCaseObject &target, const std::string &caseKey);
void SetQuoteMember(cCaseQuoteObject &target, std::string &canHide, std::string_view name,
                    std::string_view value);
void FinishQuote(cCaseQuoteObject &target, const std::string &canHide);
void PlaceQuote(cProviderQuotes &model, cOpenCase &open, std::unique_ptr<cCaseQuoteObject> quote,
                const cCaseObject &caseObject);
void PlaceCase(cProviderQuotes &model, cOpenCase &open, std::unique_ptr<cCaseObject> caseObject);

// What the model built by cJSON holds, for the baselines' set-up check: quotes in the open tree,
// awarded quotes, and the sum of the sizes of every text in the model.
struct cModelSummary
{
    std::size_t OpenQuotes = 0;
    std::size_t Awarded = 0;
    std::size_t TextBytes = 0;
    bool operator==(const cModelSummary &) const = default;
};
cModelSummary Summarise(const cProviderQuotes &model);
cModelSummary ReferenceModel();
} // namespace bench_json
