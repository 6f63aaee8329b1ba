#include "workspace/cCaseQuoteObject.h"

#include "workspace/ListTexts.h"
#include "workspace/MemberReader.h"

cCaseQuoteObject::cCaseQuoteObject() : AwardedCase(std::make_unique<cCaseObject>()) {}

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
    *AwardedCase = *other.AwardedCase;
    return *this;
}

void cCaseQuoteObject::Fill(const std::string &key, const cJSON *quote)
{
    Key = key;
    std::string canHide;
    const cMemberTarget targets[] = {
        {"Status", &Status},         {"CanHide", &canHide},   {"f10", &NeedKey},
        {"cn14", &RequiredDateText}, {"f13", &Price},         {"f14", &QuoteState},
        {"cn15", &NeedDescription},  {"pc12", &CategoryName}, {"cn16", &AwardedQuoteKey}};
    ReadMembers(quote, targets);
    CanHide = canHide == "Y";
    RequiredDate = FormatServerDate(RequiredDateText);
    Accepted = QuoteState == "A";
}
