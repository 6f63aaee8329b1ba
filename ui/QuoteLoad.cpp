#include "ui/QuoteLoad.h"

#include "dataclient/dbServerConnection.h"

std::shared_ptr<const cProviderQuotes> FetchProviderQuotes(dbServerConnection *link,
                                                           const std::string &providerKey)
{
    if (!link || !link->EnsureConnected() || !link->SendText(cProviderQuotes::RequestText(providerKey)) ||
        !link->IsConnectedFlag)
        return nullptr;
    auto quotes = std::make_shared<cProviderQuotes>();
    quotes->ReadReply(link->ReplyText);
    return quotes;
}
