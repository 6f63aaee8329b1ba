#include "workspace/QuoteReloads.h"

bool cQuoteReloads::Ask()
{
    if (Running)
    {
        Again = true;
        return false;
    }
    Running = true;
    ++Started;
    return true;
}

bool cQuoteReloads::Ended(unsigned generation, std::shared_ptr<const cProviderQuotes> quotes)
{
    if (!Running || generation != Started)
        return false;
    Running = false;
    if (Again)
    {
        Again = false;
        Running = true;
        ++Started;
        return true;
    }
    Result = std::move(quotes);
    HasResult = true;
    return false;
}

bool cQuoteReloads::TakeResult(std::shared_ptr<const cProviderQuotes> &quotes)
{
    if (!HasResult)
        return false;
    quotes = std::move(Result);
    Result.reset();
    HasResult = false;
    return true;
}

void cQuoteReloads::Reset()
{
    Running = false;
    Again = false;
    HasResult = false;
    Result.reset();
}
