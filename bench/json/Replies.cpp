#include "bench/json/Replies.h"

#include "bench/QuoteReplies.h"
#include "workspace/ListTexts.h"
#include "json/cJSON.h"

#include <cstdio>

namespace bench_json
{
namespace
{
// A reply in the server's shape: one member per case (named by the case key) holding "Fields"
// and "QuoteList"; quotesPerCase quotes per case.
std::string MakeReply(int cases, int quotesPerCase)
{
    cJSON reply;
    int quoteKey = 9000;
    for (int c = 0; c < cases; ++c)
    {
        const std::string caseKey = std::to_string(1000 + c);
        cJSON *entry = reply.GetObject(caseKey);
        cJSON *fields = entry->GetObject("Fields");
        fields->SetValue("ca1", caseKey);
        fields->SetValue("ca10", std::to_string(500 + c));
        fields->SetString("ca12", "20240105");
        fields->SetString("ca13", "20240110143000");
        fields->SetString("ca14", "4B");
        fields->SetString("ca15", "2");
        fields->SetString("ca22", "CASE-" + caseKey);
        fields->SetString("H10", "St. Mary's Hospital, North Campus");
        fields->SetString("P13", "123-45-6789");
        fields->SetString("P14", "03/14/1941");
        fields->SetString("Ip10", "Medicare");
        fields->SetString("Is10", "");
        fields->SetString("It10", "");
        fields->SetString("Status", "Open");
        cJSON *quotes = entry->GetObject("QuoteList");
        for (int q = 0; q < quotesPerCase; ++q)
        {
            cJSON *quote = quotes->GetObject(std::to_string(quoteKey++));
            quote->SetString("Status", q == 0 ? "Accepted" : "New");
            quote->SetString("CanHide", q == 2 ? "Y" : "");
            quote->SetValue("f10", std::to_string(700 + q));
            quote->SetString("cn14", "20240112090000");
            quote->SetString("f13", q == 0 ? "125.00" : "");
            quote->SetString("f14", q == 0 ? "A" : "");
            quote->SetString("cn15", "Needs a walker, help with bathing and a \"low\" bed");
            quote->SetString("pc12", "Home Health Aide");
            quote->SetString("cn16", "");
        }
    }
    return reply.ToText();
}

void WriteString(std::string_view text, std::string &out)
{
    out += '"';
    for (const char ch : text)
    {
        const auto c = static_cast<unsigned char>(ch);
        switch (c)
        {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20)
            {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            }
            else if (c >= 0x80) // Latin-1 to UTF-8
            {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
            else
                out += ch;
        }
    }
    out += '"';
}

// -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsStrictNumber(std::string_view t)
{
    std::size_t i = 0;
    auto digits = [&]
    {
        const std::size_t from = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        return i - from;
    };
    if (i < t.size() && t[i] == '-')
        ++i;
    if (i < t.size() && t[i] == '0')
        ++i;
    else if (digits() == 0)
        return false;
    if (i < t.size() && t[i] == '.')
    {
        ++i;
        if (digits() == 0)
            return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E'))
    {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == t.size();
}

void WriteStrict(const cJSON &node, std::string &out)
{
    out += node.IsObject ? '{' : '[';
    const cJSONItems &items = node.Items();
    for (int i = 0; i < items.Count(); ++i)
    {
        if (i > 0)
            out += ',';
        if (node.IsObject)
        {
            WriteString(items.Names(i), out);
            out += ':';
        }
        const std::string &value = items.ValueFromIndex(i);
        switch (items.Kind(i))
        {
        case JsonNull:
            out += "null";
            break;
        case JsonBoolean:
            out += value == "0" ? "false" : "true";
            break;
        case JsonNumber:
            if (IsStrictNumber(value))
                out += value;
            else
                WriteString(value, out);
            break;
        case JsonArray:
        case JsonObject:
            if (const cJSON *child = items.Object(i))
                WriteStrict(*child, out);
            else
                out += "null";
            break;
        default: // strings and words
            WriteString(value, out);
        }
    }
    out += node.IsObject ? '}' : ']';
}

bool Is(std::string_view name, const char *code)
{
    std::size_t i = 0;
    for (; i < name.size() && code[i]; ++i)
    {
        const char a = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
        const char b = code[i] >= 'A' && code[i] <= 'Z' ? static_cast<char>(code[i] - 'A' + 'a') : code[i];
        if (a != b)
            return false;
    }
    return i == name.size() && !code[i];
}

std::size_t CaseBytes(const cCaseObject &c)
{
    std::size_t n = 0;
    for (const std::string *s :
         {&c.Key, &c.Status, &c.CaseNumber, &c.PatientKey, &c.HospitalKey, &c.HospitalName, &c.CaseField14,
          &c.CaseField15, &c.PatientField13, &c.PatientField14, &c.Insurance1Key, &c.Insurance1Name,
          &c.Insurance2Name, &c.Insurance2Key, &c.Insurance3Name, &c.Insurance3Key})
        n += s->size();
    return n;
}

std::size_t QuoteBytes(const cCaseQuoteObject &q)
{
    std::size_t n = q.CanHide + q.Accepted;
    for (const std::string *s :
         {&q.Key, &q.Status, &q.NeedKey, &q.RequiredDate, &q.Price, &q.QuoteState, &q.NeedDescription,
          &q.CategoryName, &q.AwardedQuoteKey, &q.RequiredDateText})
        n += s->size();
    return n;
}
} // namespace

const std::string &SmallReply()
{
    static const std::string text = MakeReply(100, 3);
    return text;
}

const std::string &LargeReply()
{
    static const std::string text = bench::MakeLargeQuotesReply();
    return text;
}

const std::string &StrictSmallReply()
{
    static const std::string text = StrictForm(SmallReply());
    return text;
}

const std::string &StrictLargeReply()
{
    static const std::string text = StrictForm(LargeReply());
    return text;
}

std::size_t Walk(cJSON &reply)
{
    std::size_t seen = 0;
    for (int i = 0; i < reply.Count(); ++i)
    {
        cJSON *entry = reply.Items().Object(i);
        if (!entry)
            continue;
        cJSON *fields = entry->GetObject("Fields");
        cJSON *quotes = entry->GetObject("QuoteList");
        for (const char *code : WalkCaseFields)
            seen += fields->GetValue(code).size();
        for (int q = 0; q < quotes->Count(); ++q)
        {
            cJSON *quote = quotes->Items().Object(q);
            if (!quote)
                continue;
            for (const char *code : WalkQuoteFields)
                seen += quote->GetValue(code).size();
        }
    }
    return seen;
}

std::size_t ReferenceWalk()
{
    static const std::size_t seen = []
    {
        cJSON reply(SmallReply());
        return Walk(reply);
    }();
    return seen;
}

cModelSummary ReferenceModel()
{
    static const cModelSummary summary = []
    {
        cProviderQuotes model;
        model.ReadReply(LargeReply());
        return Summarise(model);
    }();
    return summary;
}

std::string StrictForm(std::string_view relaxed)
{
    const cJSON tree(relaxed);
    std::string out;
    out.reserve(relaxed.size() + relaxed.size() / 4);
    WriteStrict(tree, out);
    return out;
}

// The codes as cCaseObject::Fill and cCaseQuoteObject::Fill read them (letter case ignored).
void SetCaseMember(cCaseObject &c, std::string &caseKey, std::string_view name, std::string_view value)
{
    const std::pair<const char *, std::string *> targets[] = {
        {"Status", &c.Status},       {"ca22", &c.CaseNumber},    {"ca1", &caseKey},
        {"ca10", &c.PatientKey},     {"ca11", &c.HospitalKey},   {"H10", &c.HospitalName},
        {"ca14", &c.CaseField14},    {"ca15", &c.CaseField15},   {"P13", &c.PatientField13},
        {"P14", &c.PatientField14},  {"ca19", &c.Insurance1Key}, {"Ip10", &c.Insurance1Name},
        {"Is10", &c.Insurance2Name}, {"ca20", &c.Insurance2Key}, {"It10", &c.Insurance3Name},
        {"ca21", &c.Insurance3Key}};
    for (const auto &[code, target] : targets)
        if (Is(name, code))
        {
            target->assign(value);
            return;
        }
}

void FinishCase(cCaseObject &c, const std::string &caseKey)
{
    if (c.CaseNumber.empty())
        c.CaseNumber = caseKey;
}

void SetQuoteMember(cCaseQuoteObject &q, std::string &canHide, std::string_view name, std::string_view value)
{
    const std::pair<const char *, std::string *> targets[] = {
        {"Status", &q.Status},         {"CanHide", &canHide},     {"f10", &q.NeedKey},
        {"cn14", &q.RequiredDateText}, {"f13", &q.Price},         {"f14", &q.QuoteState},
        {"cn15", &q.NeedDescription},  {"pc12", &q.CategoryName}, {"cn16", &q.AwardedQuoteKey}};
    for (const auto &[code, target] : targets)
        if (Is(name, code))
        {
            target->assign(value);
            return;
        }
}

void FinishQuote(cCaseQuoteObject &q, const std::string &canHide)
{
    q.CanHide = canHide == "Y";
    q.RequiredDate = FormatServerDate(q.RequiredDateText);
    q.Accepted = q.QuoteState == "A";
}

void PlaceQuote(cProviderQuotes &model, cOpenCase &open, std::unique_ptr<cCaseQuoteObject> quote,
                const cCaseObject &caseObject)
{
    if (quote->IsAwarded())
    {
        if (quote->AwardedCase)
            *quote->AwardedCase = caseObject;
        else
            quote->AwardedCase = std::make_unique<cCaseObject>(caseObject);
        model.Awarded.push_back(std::move(quote));
    }
    else
        open.Quotes.push_back(std::move(quote));
}

void PlaceCase(cProviderQuotes &model, cOpenCase &open, std::unique_ptr<cCaseObject> caseObject)
{
    if (open.Quotes.empty())
        return;
    open.Case = std::move(caseObject);
    model.OpenCases.push_back(std::move(open));
}

cModelSummary Summarise(const cProviderQuotes &model)
{
    cModelSummary s;
    for (const cOpenCase &open : model.OpenCases)
    {
        s.TextBytes += CaseBytes(*open.Case);
        for (const auto &q : open.Quotes)
            s.TextBytes += QuoteBytes(*q);
        s.OpenQuotes += open.Quotes.size();
    }
    for (const auto &q : model.Awarded)
        s.TextBytes += QuoteBytes(*q) + (q->AwardedCase ? CaseBytes(*q->AwardedCase) : 0);
    s.Awarded = model.Awarded.size();
    return s;
}
} // namespace bench_json
