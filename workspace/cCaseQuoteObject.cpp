#include "workspace/cCaseQuoteObject.h"

#include "workspace/ListTexts.h"
#include "json/cJSON.h"

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
    auto value = [quote](const char *code) { return quote ? quote->GetValue(code) : std::string(); };
    Status = value("Status");
    CanHide = value("CanHide") == "Y";
    NeedKey = value("f10");
    RequiredDateText = value("cn14");
    RequiredDate = FormatServerDate(RequiredDateText);
    Price = value("f13");
    QuoteState = value("f14");
    NeedDescription = value("cn15");
    CategoryName = value("pc12");
    Accepted = QuoteState == "A";
    AwardedQuoteKey = value("cn16");
}
