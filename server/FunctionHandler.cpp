#include "server/FunctionHandler.h"

#include "server/JoinResolver.h"
#include "server/RequestHandler.h"
#include "toolkit/StringList.h"
#include "json/cJSON.h"

#include <new>

std::string cFunctionHandler::Handle(std::string_view requestText)
{
    cJSON reply;
    std::string_view trimmed = cJSON::Trim(requestText);
    if (trimmed.size() > MaxRequestLength || trimmed.size() < 2 || trimmed.front() != '{' ||
        trimmed.back() != '}')
    {
        reply.SetString("Error", "Invalid request: a JSON object is expected");
        return reply.ToText();
    }
    std::string text;
    try
    {
        cJSON request(trimmed);
        std::string command = request.GetValue("ServerCommand");
        if (cStringList::CompareText(command, "getproviderquotes") == 0)
            ProviderQuotes(request, reply);
        else if (cStringList::CompareText(command, "updateproviderlatitudelongitude") == 0)
            UpdateLatitudeLongitude(request, reply);
        else
            reply.SetString("Error", "Unknown command " + command.substr(0, 60));
        text = reply.ToText();
    }
    catch (const std::bad_alloc &)
    {
        return "{Error:\"Out of memory\"}";
    }
    if (text.size() > protocol::MaxReplyLength)
        return "{Error:\"Reply too large\"}";
    return text;
}

namespace
{
// The provider's record, or false with the reply's "Error" set.
bool FindProvider(cRecordReader &store, cJSON &request, cJSON &reply, cRecord &provider)
{
    long long seq = 0;
    if (!ParseSeq(request.GetValue("ProviderSeq"), seq) ||
        !store.ReadBySeq(*cCatalogue::FindTable("ProviderEntities"), seq, provider))
    {
        reply.SetString("Error", "Unknown provider");
        return false;
    }
    return true;
}

// Reads every code once against an empty record so that a bad code fails before any output.
bool CheckCodes(cJoinResolver &joins, const cStringList &codes, std::string &error)
{
    std::string value;
    for (int i = 0; i < codes.Count(); ++i)
        if (!codes[i].empty() && !joins.Value(codes[i], value, error))
            return false;
    return true;
}
// A quote's "Status" and whether the provider may hide it, from its own state ("A" accepted, "R"
// declined) and the need's awarded quote key.
void QuoteStatus(const cRecord &quote, const cRecord &need, std::string &status, bool &canHide)
{
    const std::string key = std::to_string(quote.Seq);
    const std::string awarded = need.Get(16);
    const std::string state = quote.Get(14);
    status = "Open";
    if (!awarded.empty() && awarded == key)
        status = "Awarded";
    else if (!awarded.empty())
        status = "Closed";
    else if (state == "A")
        status = "Accepted";
    else if (state == "R")
        status = "Declined";
    canHide = state == "R" || (!awarded.empty() && awarded != key);
}

// Sets every code's value read through the joins as a member of `object`.
void PutValues(cJoinResolver &joins, const cStringList &codes, cJSON &object)
{
    std::string value, error;
    for (int i = 0; i < codes.Count(); ++i)
        if (!codes[i].empty() && joins.Value(codes[i], value, error))
            object.SetString(codes[i], value);
}
} // namespace

void cFunctionHandler::ProviderQuotes(cJSON &request, cJSON &reply)
{
    cRecord provider;
    if (!FindProvider(*Reader, request, reply, provider))
        return;
    const cTableDef &quotes = *cCatalogue::FindTable("CaseNeedsQuote");
    cJoinResolver joins(*Reader);
    std::string error;
    cStringList quoteCodes, caseCodes;
    quoteCodes.SetCommaText(request.GetValue("QuoteFieldList"));
    caseCodes.SetCommaText(request.GetValue("CaseFieldList"));
    joins.Load(cRecord());
    if (!joins.Prepare(quotes, request.GetValue("AliasList"), error) ||
        !CheckCodes(joins, quoteCodes, error) || !CheckCodes(joins, caseCodes, error))
    {
        reply.SetString("Error", error);
        return;
    }
    for (const cRecord &quote : Reader->Select(quotes, 11, std::to_string(provider.Seq), 1, 0, 100000))
        if (quote.Get(16) != "N") // hidden by the provider
            PutQuote(joins, quote, quoteCodes, caseCodes, reply);
    if (reply.Count() == 0)
        reply.SetString("NoQuotes", "There are no quotes for this provider");
}

// One quote under its case's "QuoteList"; the case's "Fields" (with "Open" while some need of it
// is not yet awarded) are put the first time the case is met.
void cFunctionHandler::PutQuote(cJoinResolver &joins, const cRecord &quote, const cStringList &quoteCodes,
                                const cStringList &caseCodes, cJSON &reply)
{
    const cTableDef &needs = *cCatalogue::FindTable("CaseNeeds");
    joins.Load(quote);
    const long long caseSeq = joins.JoinedSeq("Cases");
    if (caseSeq == 0)
        return;
    cRecord need;
    long long needSeq = 0;
    if (ParseSeq(quote.Get(10), needSeq))
        Reader->ReadBySeq(needs, needSeq, need);
    const std::string caseKey = std::to_string(caseSeq);
    cJSON *caseObject = reply.GetObject(caseKey);
    if (!caseObject)
        return;
    if (!caseObject->HasValue("Fields"))
    {
        cJSON *fields = caseObject->GetObject("Fields");
        PutValues(joins, caseCodes, *fields);
        bool open = false;
        for (const cRecord &n : Reader->Select(needs, 10, caseKey, 1, 0, 10000))
            open = open || n.Get(16).empty();
        fields->SetString("Status", open ? "Open" : "Closed");
    }
    std::string status;
    bool canHide = false;
    QuoteStatus(quote, need, status, canHide);
    cJSON *quoteObject = caseObject->GetObject("QuoteList")->GetObject(std::to_string(quote.Seq));
    quoteObject->SetString("Status", status);
    quoteObject->SetString("CanHide", canHide ? "Y" : "N");
    PutValues(joins, quoteCodes, *quoteObject);
}

void cFunctionHandler::UpdateLatitudeLongitude(cJSON &request, cJSON &reply)
{
    cRecord provider;
    if (!FindProvider(*Reader, request, reply, provider))
        return;
    const cTableDef &zips = *cCatalogue::FindTable("ZipCodes");
    std::string zip = provider.Get(15);
    std::vector<cRecord> found;
    if (!zip.empty())
        found = Reader->Select(zips, 10, zip, 1, 0, 1);
    if (found.empty())
    {
        reply.SetString("Error", "Unknown zip code " + zip.substr(0, 20));
        return;
    }
    std::string error;
    cFieldValues values = {{27, found.front().Get(11)}, {28, found.front().Get(12)}};
    if (Store.Update(*cCatalogue::FindTable("ProviderEntities"), provider.Seq, values, error) <= 0)
    {
        reply.SetString("Error", "Update failed " + error);
        return;
    }
    reply.SetString("Error", "");
}
