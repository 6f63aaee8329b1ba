// The function server's commands: a JSON request text in, a JSON reply text out (both without
// their NUL). "getproviderquotes" lists a provider's quotes grouped by case; the command
// "updateproviderlatitudelongitude" copies the position of the provider's zip code into its record.
#pragma once

#include "server/Store.h"

#include <memory>
#include <string>
#include <string_view>

class cJSON;
class cJoinResolver;
class cStringList;

class cFunctionHandler
{
public:
    static constexpr size_t MaxRequestLength = 60000;

    // Writes go to the store; reads go through a reader of the handler's own (see cStore::NewReader),
    // so a handler is for one thread.
    explicit cFunctionHandler(cStore &store) : Store(store), Reader(store.NewReader()) {}
    std::string Handle(std::string_view requestText);

private:
    void ProviderQuotes(cJSON &request, cJSON &reply);
    void PutQuote(cJoinResolver &joins, const cRecord &quote, const cStringList &quoteCodes,
                  const cStringList &caseCodes, cJSON &reply);
    void UpdateLatitudeLongitude(cJSON &request, cJSON &reply);

    cStore &Store;
    std::unique_ptr<cRecordReader> Reader;
};
