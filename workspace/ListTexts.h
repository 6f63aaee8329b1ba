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
