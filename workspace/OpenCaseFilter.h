// The search of the open-requests tree: a case stays when its hospital, case number or insurance
// holds the search text (with all its quotes), a quote when its category, description or date
// holds it (with its case). Matching ignores the case of ASCII letters and blanks around the text.
#pragma once

#include "workspace/ProviderQuotes.h"

#include <string>
#include <string_view>
#include <vector>

// ASCII letters in lower case; other bytes unchanged.
std::string FoldCase(std::string_view text);

class cOpenCaseFilter
{
public:
    // Takes the searchable texts of a load's cases and quotes (after every load).
    void Index(const std::vector<cOpenCase> &cases);
    // Sets Visible for the search text; an empty text shows everything.
    void Apply(std::string_view text);

    // Whether a case line, or a quote line of a case, is shown; lines outside the indexed shape
    // are shown.
    bool CaseShown(int caseRow) const;
    bool QuoteShown(int caseRow, int quoteRow) const;

    // Visibility in tree order: each case followed by its quotes.
    std::vector<char> Visible;
    // Number of quotes of each case, in order (the tree's shape).
    std::vector<int> QuoteCounts;

private:
    // The folded text of line i, fields separated by a unit separator.
    std::string_view Text(std::size_t line) const;

    // Folded texts in tree order, one after another; line i ends at Ends[i].
    std::string Folded;
    std::vector<std::size_t> Ends;
    // Where each case's line stands in tree order.
    std::vector<std::size_t> CaseStarts;
};
