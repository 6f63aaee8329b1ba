// One quote of the provider (a "CaseNeedsQuote" record with the need that it answers), as the
// quote load returns it. An awarded quote carries a copy of its case.
#pragma once

#include "workspace/cCaseObject.h"

#include <memory>
#include <string>

class cJSON;

class cCaseQuoteObject
{
public:
    cCaseQuoteObject();
    // A quote without the awarded-case object (AwardedCase null): the quote load gives one only to
    // the quotes it awards. Copies of any quote have one (empty when the original has none).
    struct cWithoutCase
    {
    };
    explicit cCaseQuoteObject(cWithoutCase);
    ~cCaseQuoteObject();
    // A copy carries its own copy of the awarded case.
    cCaseQuoteObject(const cCaseQuoteObject &other);
    cCaseQuoteObject &operator=(const cCaseQuoteObject &other);

    // Fills the quote from its object in "QuoteList"; key is the name under which it stands.
    // A null object leaves all but Key empty. AwardedCase is left as it is.
    void Fill(const std::string &key, const cJSON *quote);
    // As Fill, but moves the texts out of quote (left empty): for a reply dropped after reading.
    void Take(const std::string &key, cJSON *quote);

    std::string Key;
    std::string Status;
    bool CanHide = false; // "CanHide" is exactly "Y"
    std::string NeedKey;
    std::string RequiredDate; // "cn14" in display form
    std::string Price;
    std::string QuoteState;
    std::string NeedDescription;
    std::string CategoryName;
    bool Accepted = false; // "f14" is "A"
    // Key of the quote that the hospital awarded for the need ("cn16"), empty while open.
    std::string AwardedQuoteKey;
    // The raw "cn14" text (the awarded list's item text).
    std::string RequiredDateText;
    std::unique_ptr<cCaseObject> AwardedCase;

    // Accepted, and named by its need as the awarded quote.
    bool IsAwarded() const { return Accepted && AwardedQuoteKey == Key; }

private:
    // Fill from quote, or Take when take is quote.
    void Read(const std::string &key, const cJSON *quote, cJSON *take);
};
