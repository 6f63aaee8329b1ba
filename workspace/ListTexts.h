// Texts that the case lists show, built from the case model.
#pragma once

#include <string>

class cCaseObject;
class cCaseQuoteObject;

// The server's date texts in display form: a text holding "/" unchanged; eight characters
// (YYYYMMDD) as MM/DD/YYYY; anything else as MM/DD/YYYY, two blanks, hh:nn, where parts beyond
// the end of a short text are empty.
std::string FormatServerDate(const std::string &text);

// The insurance column of a case line: the three names joined by ", ", skipping empty ones.
std::string InsuranceText(const cCaseObject &caseObject);

// The description column of an open quote line: category, ", ", need description.
std::string QuoteLineText(const cCaseQuoteObject &quote);

// The description column of an awarded line: category, three blanks, need description.
std::string AwardedLineText(const cCaseQuoteObject &quote);

// What a line says as a whole (its display and accessible text): the texts drawn in its columns,
// in column order, the empty ones left out, joined by ", ".
// A case line of the open-requests tree: hospital, case number, insurance.
std::string CaseLineSpoken(const cCaseObject &caseObject);
// A quote line of the open-requests tree: date, category, description.
std::string QuoteLineSpoken(const cCaseQuoteObject &quote);
// An entry of the awarded list: date, hospital, case number, category, description.
std::string AwardedLineSpoken(const cCaseQuoteObject &quote);

// The open-requests legend's words for a quote line's colour, which the line also says as its
// accessible description: "Waiting for hospitals response" for a quote the provider accepted,
// "Item needs attention" for any other.
std::string QuoteStateText(bool accepted);
