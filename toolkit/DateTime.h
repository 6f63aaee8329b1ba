// Date-time values as the form toolkit kept them: a double counting days since 1899-12-30, the
// fraction being the time of day, in local time, with their formatting and parsing. The number
// helpers are in toolkit/Numbers.h (included here, as dates and numbers are used together).
#pragma once

#include "toolkit/Numbers.h"

#include <ctime>
#include <string>
#include <string_view>

using cDateTime = double;

cDateTime Now();
cDateTime EncodeDate(int year, int month, int day);                      // 0 when invalid
cDateTime EncodeTime(int hour, int minute, int second, int millisecond); // fraction of a day
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, cDateTime &out);
void DecodeDateTime(cDateTime value, int &year, int &month, int &day, int &hour, int &minute, int &second,
                    int &millisecond);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(cDateTime value);
// Local time conversions.
cDateTime DateTimeFromUnix(std::time_t t);
std::time_t UnixFromDateTime(cDateTime value);

// Formats with the toolkit's letters: yyyy yy mm m dd d hh h nn n ss s zzz, AM/PM not used;
// "/" and ":" are written as they stand; text in double or single quotes is literal.
// Note "mm" right after "hh"/"h" means minutes, as in the toolkit.
std::string FormatDateTime(std::string_view format, cDateTime value);
// Parses a date in the system format: MM/DD/YYYY with an optional hh:nn[:ss], or ISO
// YYYY-MM-DD (optionally followed by a time). False for anything else, including invalid dates.
bool TryStrToDate(std::string_view text, cDateTime &out);
