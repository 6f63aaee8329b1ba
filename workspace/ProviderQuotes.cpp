#include "workspace/ProviderQuotes.h"

#include "json/cJSON.h"

std::string cProviderQuotes::RequestText(const std::string &providerKey)
{
    cJSON request;
    request.SetValue("ServerCommand", "getproviderquotes");
    request.SetValue("ProviderSeq", providerKey);
    request.SetValue("AliasList",
                     "cn=CaseNeeds:f10,ca=Cases:cn10,P=Patients:ca10,H=ProviderEntities:ca11,"
                     "Ip=InsuranceTypes:ca19,Is=InsuranceTypes:ca20,It=InsuranceTypes:ca21,"
                     "pt=ProviderTypes:cn11,pc=ProviderCategories:cn12,pd=ProviderCategoryDetails:cn13");
    request.SetValue("QuoteFieldList", "f10,f12,f13,f14,cn14,cn15,cn16,pt10,pc12,pd11");
    request.SetValue("CaseFieldList",
                     "ca1,ca10,ca11,ca12,ca13,ca14,ca15,ca19,ca20,ca21,ca22,H10,P13,P14,Ip10,"
                     "Is10,It10");
    return request.ToText();
}

void cProviderQuotes::Clear()
{
    Error.clear();
    NoQuotes.clear();
    OpenCases.clear();
    Awarded.clear();
}

void cProviderQuotes::ReadReply(std::string_view replyText)
{
    Clear();
    cJSON reply(replyText);
    Error = reply.GetValue("Error");
    NoQuotes = reply.GetValue("NoQuotes");
    if (!Error.empty() || !NoQuotes.empty())
        return;
    // The tree is dropped at the end: the model takes its texts instead of copying them, and only
    // awarded quotes get a copy of their case.
    const cJSONItems &cases = reply.Items();
    OpenCases.reserve(static_cast<std::size_t>(cases.Count()));
    for (int i = 0; i < cases.Count(); ++i)
    {
        cJSON *caseNode = cases.Object(i);
        if (!caseNode)
            continue; // a member that is no object holds no case
        auto caseObject = std::make_unique<cCaseObject>();
        caseObject->Take(cases.Names(i), caseNode->FindObject("Fields", false));
        cOpenCase open;
        cJSON *quoteList = caseNode->FindObject("QuoteList", false);
        const int quoteCount = quoteList ? quoteList->Count() : 0;
        open.Quotes.reserve(static_cast<std::size_t>(quoteCount));
        for (int q = 0; q < quoteCount; ++q)
        {
            auto quote = std::make_unique<cCaseQuoteObject>(cCaseQuoteObject::cWithoutCase{});
            quote->Take(quoteList->Items().Names(q), quoteList->Items().Object(q));
            if (quote->IsAwarded())
            {
                quote->AwardedCase = std::make_unique<cCaseObject>(*caseObject);
                Awarded.push_back(std::move(quote));
            }
            else
                open.Quotes.push_back(std::move(quote));
        }
        if (!open.Quotes.empty())
        {
            open.Case = std::move(caseObject);
            OpenCases.push_back(std::move(open));
        }
    }
}

int cProviderQuotes::QuoteCount() const
{
    std::size_t count = Awarded.size();
    for (const cOpenCase &open : OpenCases)
        count += open.Quotes.size();
    return static_cast<int>(count);
}
