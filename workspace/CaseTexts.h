// Texts of the two case pages (the quote's case detail page and the awarded case page) built from
// the values read for a case: age, gender, case number, case worker and patient names, and the
// items of the diagnosis and treatment code lists.
#pragma once

#include "toolkit/DateTime.h"

#include <string>

// Case detail page, age: the birth date parsed in the system's date format; the years since then
// (days / 365.25) with one decimal, "Unknown" when the date cannot be parsed, blank when the age
// lies outside 0 to 130 (as on the awarded page).
std::string CaseDetailAgeText(const std::string &birthDate, cDateTime now);
// Awarded case page, age: as above with "0.0", but an unparsable date, the day 0 of the calendar
// and ages below 0 or above 130 give an empty text.
std::string AwardedAgeText(const std::string &birthDate, cDateTime now);

// Case detail page, gender: the whole value upper-cased, "M" "Male", "F" "Female", else empty.
std::string CaseDetailGenderText(const std::string &gender);
// Awarded case page, gender: the first character as stored (case-sensitive), "F" "Female",
// "M" "Male", else empty.
std::string AwardedGenderText(const std::string &gender);

// The case number: "ca22", or the case key "ca1" when that is empty.
std::string CaseNumberText(const std::string &caseNumber, const std::string &caseKey);

// Case detail page, case worker: first name, one blank, last name.
std::string CaseWorkerText(const std::string &firstName, const std::string &lastName);
// Awarded case page, case worker: title and middle name only when not empty, single blanks.
std::string AwardedCaseWorkerText(const std::string &title, const std::string &firstName,
                                  const std::string &middleName, const std::string &lastName);
// Awarded case page, patient: first, middle when not empty, last, single blanks.
std::string PatientNameText(const std::string &firstName, const std::string &middleName,
                            const std::string &lastName);

// One item of a diagnosis or treatment code list: the record's "f11" (the code) and "f1001" (its
// description).
struct cCodeItem
{
    std::string Code;
    std::string Description;
};
// What an item says as a whole: code and description joined by ", ", an empty one left out.
std::string CodeLineSpoken(const cCodeItem &item);
