#include "workspace/NewQuoteWatch.h"

#include <algorithm>

std::string cQuoteAlert::Title() const
{
    return std::to_string(Count) + (Count == 1 ? " new case request" : " new case requests");
}

std::string cQuoteAlert::Body() const
{
    std::string body;
    for (const std::string &hospital : Hospitals)
        body += (body.empty() ? "" : ", ") + hospital;
    return body;
}

cQuoteAlert cNewQuoteWatch::Update(const cProviderQuotes &quotes)
{
    cQuoteAlert alert;
    for (const cOpenCase &open : quotes.OpenCases)
        for (const auto &quote : open.Quotes)
        {
            if (!Seen.insert(quote->Key).second || !Primed)
                continue;
            ++alert.Count;
            const std::string &hospital = open.Case->HospitalName;
            if (!hospital.empty() &&
                std::find(alert.Hospitals.begin(), alert.Hospitals.end(), hospital) == alert.Hospitals.end())
                alert.Hospitals.push_back(hospital);
        }
    Primed = true;
    return alert;
}

void cNewQuoteWatch::Reset()
{
    Seen.clear();
    Primed = false;
}
