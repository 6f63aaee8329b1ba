// The "getproviderquotes" exchange of the workspace: the request text, and the walk of its reply
// into the case model (which quotes go to the open-requests tree, which to the awarded list).
#pragma once

#include "workspace/cCaseObject.h"
#include "workspace/cCaseQuoteObject.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A case of the open-requests tree with its quotes, in reply order.
struct cOpenCase
{
    std::unique_ptr<cCaseObject> Case;
    std::vector<std::unique_ptr<cCaseQuoteObject>> Quotes;
};

class cProviderQuotes
{
public:
    // The request object written as text; providerKey goes to "ProviderSeq".
    static std::string RequestText(const std::string &providerKey);

    // Replaces the model with the reply's. Error is the reply's "Error" text and NoQuotes its
    // "NoQuotes" text; with either set, the lists stay empty.
    void ReadReply(std::string_view replyText);
    void Clear();

    std::string Error;
    std::string NoQuotes;
    // Cases with at least one quote that is not awarded to the provider.
    std::vector<cOpenCase> OpenCases;
    // Quotes awarded to the provider, each with a copy of its case.
    std::vector<std::unique_ptr<cCaseQuoteObject>> Awarded;
    int QuoteCount() const;
};
