#include "workspace/ListTexts.h"

#include "workspace/cCaseObject.h"
#include "workspace/cCaseQuoteObject.h"

#include <initializer_list>

namespace
{
// Appends characters from..from+count-1 (counting from 1), cut at the end of the text.
void AppendCopy(std::string &out, const std::string &text, std::size_t from, std::size_t count)
{
    if (from - 1 < text.size())
        out.append(text, from - 1, count);
}

std::string JoinShown(std::initializer_list<const std::string *> parts)
{
    std::string text;
    for (const std::string *part : parts)
        if (!part->empty())
            text += (text.empty() ? "" : ", ") + *part;
    return text;
}
} // namespace

std::string FormatServerDate(const std::string &text)
{
    if (text.find('/') != std::string::npos)
        return text;
    // MM/DD/YYYY, then "  hh:nn" unless the text is a date alone; built in one string (a quote
    // load formats 10,000 of them).
    std::string date;
    date.reserve(17);
    AppendCopy(date, text, 5, 2);
    date += '/';
    AppendCopy(date, text, 7, 2);
    date += '/';
    AppendCopy(date, text, 1, 4);
    if (text.size() == 8)
        return date;
    date += "  ";
    AppendCopy(date, text, 9, 2);
    date += ':';
    AppendCopy(date, text, 11, 2);
    return date;
}

std::string InsuranceText(const cCaseObject &caseObject)
{
    std::string text = caseObject.Insurance1Name;
    if (!caseObject.Insurance1Name.empty() && !caseObject.Insurance2Name.empty())
        text += ", ";
    text += caseObject.Insurance2Name;
    if (!text.empty() && !caseObject.Insurance3Name.empty())
        text += ", ";
    return text + caseObject.Insurance3Name;
}

std::string QuoteLineText(const cCaseQuoteObject &quote)
{
    return quote.CategoryName + ", " + quote.NeedDescription;
}

std::string AwardedLineText(const cCaseQuoteObject &quote)
{
    return quote.CategoryName + "   " + quote.NeedDescription;
}

std::string CaseLineSpoken(const cCaseObject &caseObject)
{
    const std::string insurance = InsuranceText(caseObject);
    return JoinShown({&caseObject.HospitalName, &caseObject.CaseNumber, &insurance});
}

std::string QuoteLineSpoken(const cCaseQuoteObject &quote)
{
    return JoinShown({&quote.RequiredDate, &quote.CategoryName, &quote.NeedDescription});
}

std::string AwardedLineSpoken(const cCaseQuoteObject &quote)
{
    const cCaseObject *awarded = quote.AwardedCase.get();
    const std::string none;
    return JoinShown({&quote.RequiredDate, awarded ? &awarded->HospitalName : &none,
                      awarded ? &awarded->CaseNumber : &none, &quote.CategoryName, &quote.NeedDescription});
}

std::string QuoteStateText(bool accepted)
{
    return accepted ? "Waiting for hospitals response" : "Item needs attention";
}
