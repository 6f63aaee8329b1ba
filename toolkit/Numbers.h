// Number parsing and formatting as the form toolkit did them, with '.' as the decimal separator
// whatever the locale.
#pragma once

#include <string>
#include <string_view>

// Number patterns "##0.0" and "0.0" (and in general: digits after '.' = '0' count; '#' optional).
std::string FormatFloat(std::string_view pattern, double value);

// Whole text must be a decimal number (optional sign); otherwise the default.
int StrToIntDef(std::string_view text, int def);
long long StrToInt64Def(std::string_view text, long long def);
// Whole text must be a decimal floating-point number with '.' as separator, whatever the locale.
double StrToFloatDef(std::string_view text, double def);
bool TryStrToInt(std::string_view text, int &out);
bool TryStrToInt64(std::string_view text, long long &out);
bool TryStrToFloat(std::string_view text, double &out);

std::string IntToStr(long long value);
// Shortest text that reads back to the same double, '.' as separator ("45000.5", "3").
std::string FloatToStr(double value);
