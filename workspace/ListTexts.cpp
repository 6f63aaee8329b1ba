#include "workspace/ListTexts.h"

#include "workspace/cCaseObject.h"
#include "workspace/cCaseQuoteObject.h"

#include <initializer_list>

namespace
{
// Characters from..from+count-1 (counting from 1), cut at the end of the text.
std::string Copy(const std::string &text, std::size_t from, std::size_t count)
{
    return from - 1 < text.size() ? text.substr(from - 1, count) : std::string();
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
    std::string date = Copy(text, 5, 2) + "/" + Copy(text, 7, 2) + "/" + Copy(text, 1, 4);
    if (text.size() == 8)
        return date;
    return date + "  " + Copy(text, 9, 2) + ":" + Copy(text, 11, 2);
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
