#include "workspace/OpenCaseFilter.h"

#include "workspace/ListTexts.h"

namespace
{
// Never typed into a one-line search field, so no match spans two fields.
constexpr char FieldSeparator = '\x1f';

std::string_view TrimmedSearchText(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}
} // namespace

std::string FoldCase(std::string_view text)
{
    std::string folded(text);
    for (char &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

void cOpenCaseFilter::Index(const std::vector<cOpenCase> &cases)
{
    // One buffer for every line's folded text (ends recorded), not a string per line: a large
    // inbox is indexed at every load, and 12,000 small strings made and freed took longer than
    // the search they serve.
    Folded.clear();
    Ends.clear();
    QuoteCounts.clear();
    CaseStarts.clear();
    // Copied whole, then folded in place (a loop the compiler turns into vector steps).
    const auto append = [this](std::string_view text)
    {
        const std::size_t from = Folded.size();
        Folded.append(text);
        char *c = Folded.data() + from;
        char *const end = Folded.data() + Folded.size();
        for (; c != end; ++c)
            *c = static_cast<char>(*c + ((*c >= 'A' && *c <= 'Z') ? 'a' - 'A' : 0));
    };
    for (const cOpenCase &open : cases)
    {
        CaseStarts.push_back(Ends.size());
        const cCaseObject &caseObject = *open.Case;
        append(caseObject.HospitalName);
        Folded.push_back(FieldSeparator);
        append(caseObject.CaseNumber);
        Folded.push_back(FieldSeparator);
        append(InsuranceText(caseObject));
        Ends.push_back(Folded.size());
        for (const auto &quote : open.Quotes)
        {
            append(quote->CategoryName);
            Folded.push_back(FieldSeparator);
            append(quote->NeedDescription);
            Folded.push_back(FieldSeparator);
            append(quote->RequiredDate);
            Ends.push_back(Folded.size());
        }
        QuoteCounts.push_back(static_cast<int>(open.Quotes.size()));
    }
    Visible.assign(Ends.size(), 1);
}

std::string_view cOpenCaseFilter::Text(std::size_t line) const
{
    const std::size_t from = line == 0 ? 0 : Ends[line - 1];
    return std::string_view(Folded).substr(from, Ends[line] - from);
}

void cOpenCaseFilter::Apply(std::string_view text)
{
    const std::string needle = FoldCase(TrimmedSearchText(text));
    Visible.assign(Ends.size(), 1);
    if (needle.empty())
        return;
    // No field holds the separator: such a text matches nothing (rather than two fields).
    if (needle.find(FieldSeparator) != std::string::npos)
    {
        Visible.assign(Ends.size(), 0);
        return;
    }
    std::size_t at = 0;
    for (const int quotes : QuoteCounts)
    {
        const std::size_t caseAt = at++;
        const bool caseMatches = Text(caseAt).find(needle) != std::string_view::npos;
        bool anyQuote = false;
        for (int q = 0; q < quotes; ++q, ++at)
        {
            const bool shown = caseMatches || Text(at).find(needle) != std::string_view::npos;
            Visible[at] = shown;
            anyQuote = anyQuote || shown;
        }
        Visible[caseAt] = caseMatches || anyQuote;
    }
}

bool cOpenCaseFilter::CaseShown(int caseRow) const
{
    if (caseRow < 0 || static_cast<std::size_t>(caseRow) >= CaseStarts.size())
        return true;
    return Visible[CaseStarts[static_cast<std::size_t>(caseRow)]] != 0;
}

bool cOpenCaseFilter::QuoteShown(int caseRow, int quoteRow) const
{
    if (caseRow < 0 || static_cast<std::size_t>(caseRow) >= CaseStarts.size() || quoteRow < 0 ||
        quoteRow >= QuoteCounts[static_cast<std::size_t>(caseRow)])
        return true;
    return Visible[CaseStarts[static_cast<std::size_t>(caseRow)] + 1 + static_cast<std::size_t>(quoteRow)] !=
           0;
}
