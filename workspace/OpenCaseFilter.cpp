#include "workspace/OpenCaseFilter.h"

#include "workspace/ListTexts.h"

namespace
{
// Never typed into a one-line search field, so no match spans two fields.
constexpr char FieldSeparator = '\x1f';

std::string_view Trimmed(std::string_view text)
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
    Texts.clear();
    QuoteCounts.clear();
    CaseStarts.clear();
    for (const cOpenCase &open : cases)
    {
        CaseStarts.push_back(Texts.size());
        const cCaseObject &caseObject = *open.Case;
        Texts.push_back(FoldCase(caseObject.HospitalName + FieldSeparator + caseObject.CaseNumber +
                                 FieldSeparator + InsuranceText(caseObject)));
        for (const auto &quote : open.Quotes)
            Texts.push_back(FoldCase(quote->CategoryName + FieldSeparator + quote->NeedDescription +
                                     FieldSeparator + quote->RequiredDate));
        QuoteCounts.push_back(static_cast<int>(open.Quotes.size()));
    }
    Visible.assign(Texts.size(), 1);
}

void cOpenCaseFilter::Apply(std::string_view text)
{
    const std::string needle = FoldCase(Trimmed(text));
    Visible.assign(Texts.size(), 1);
    if (needle.empty())
        return;
    // No field holds the separator: such a text matches nothing (rather than two fields).
    if (needle.find(FieldSeparator) != std::string::npos)
    {
        Visible.assign(Texts.size(), 0);
        return;
    }
    std::size_t at = 0;
    for (const int quotes : QuoteCounts)
    {
        const std::size_t caseAt = at++;
        const bool caseMatches = Texts[caseAt].find(needle) != std::string::npos;
        bool anyQuote = false;
        for (int q = 0; q < quotes; ++q, ++at)
        {
            const bool shown = caseMatches || Texts[at].find(needle) != std::string::npos;
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
