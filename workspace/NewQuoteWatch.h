// Which open quotes of a load are new: the keys never seen since sign-in. The first load only
// records its keys, so that signing in does not announce every open request.
#pragma once

#include "workspace/ProviderQuotes.h"

#include <string>
#include <unordered_set>
#include <vector>

struct cQuoteAlert
{
    int Count = 0;
    // Hospitals of the new quotes, each once, in list order.
    std::vector<std::string> Hospitals;

    // "1 new case request", "3 new case requests".
    std::string Title() const;
    // The hospital names joined by ", ".
    std::string Body() const;
};

class cNewQuoteWatch
{
public:
    // Takes a load's open quotes; the alert counts the keys not seen before (none on the first
    // load).
    cQuoteAlert Update(const cProviderQuotes &quotes);
    // Forgets every key: the next load is a first load again.
    void Reset();

private:
    std::unordered_set<std::string> Seen;
    bool Primed = false;
};
