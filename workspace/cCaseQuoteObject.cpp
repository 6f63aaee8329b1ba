#include "workspace/cCaseQuoteObject.h"

#include "workspace/ListTexts.h"
#include "workspace/MemberReader.h"

cCaseQuoteObject::cCaseQuoteObject() : AwardedCase(std::make_unique<cCaseObject>()) {}

cCaseQuoteObject::cCaseQuoteObject(cWithoutCase) {}

cCaseQuoteObject::~cCaseQuoteObject() = default;

cCaseQuoteObject::cCaseQuoteObject(const cCaseQuoteObject &other) : cCaseQuoteObject()
{
    *this = other;
}

cCaseQuoteObject &cCaseQuoteObject::operator=(const cCaseQuoteObject &other)
{
    if (this == &other)
        return *this;
    Key = other.Key;
    Status = other.Status;
    CanHide = other.CanHide;
    NeedKey = other.NeedKey;
    RequiredDate = other.RequiredDate;
    Price = other.Price;
    QuoteState = other.QuoteState;
    NeedDescription = other.NeedDescription;
    CategoryName = other.CategoryName;
    Accepted = other.Accepted;
    AwardedQuoteKey = other.AwardedQuoteKey;
    RequiredDateText = other.RequiredDateText;
    if (!other.AwardedCase)
    {
        if (AwardedCase)
            *AwardedCase = cCaseObject();
    }
    else if (AwardedCase)
        *AwardedCase = *other.AwardedCase;
    else
        AwardedCase = std::make_unique<cCaseObject>(*other.AwardedCase);
    return *this;
}

void cCaseQuoteObject::Fill(const std::string &key, const cJSON *quote)
{
    Read(key, quote, nullptr);
}

void cCaseQuoteObject::Take(const std::string &key, cJSON *quote)
{
    Read(key, quote, quote);
}

void cCaseQuoteObject::Read(const std::string &key, const cJSON *quote, cJSON *take)
{
    Key = key;
    std::string canHide;
    // In the order in which the server writes them: "Status", "CanHide", then the request's
    // "QuoteFieldList" (ReadMembers tries the target after the previous match first).
    const cMemberTarget targets[] = {{"Status", &Status},        {"CanHide", &canHide},
                                     {"f10", &NeedKey},          {"f13", &Price},
                                     {"f14", &QuoteState},       {"cn14", &RequiredDateText},
                                     {"cn15", &NeedDescription}, {"cn16", &AwardedQuoteKey},
                                     {"pc12", &CategoryName}};
    if (take)
        TakeMembers(take, targets);
    else
        ReadMembers(quote, targets);
    CanHide = canHide == "Y";
    RequiredDate = FormatServerDate(RequiredDateText);
    Accepted = QuoteState == "A";
}
