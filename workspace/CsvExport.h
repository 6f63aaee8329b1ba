// The awarded cases as CSV (RFC 4180), and writing a file so that a failure never leaves half a
// file behind.
#pragma once

#include "workspace/cCaseQuoteObject.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One field: quoted (inner quotes doubled) when it holds a comma, a quote, CR or LF.
std::string CsvField(std::string_view text);

// A header line and one line per awarded quote, CR LF after each: delivery date as the list
// shows it, hospital, case number, category, description.
std::string AwardedCasesCsv(const std::vector<std::unique_ptr<cCaseQuoteObject>> &awarded);

// Writes contents to a new temporary file beside path and renames it to path, replacing an
// existing file. On failure the temporary file is removed, path is left as it was, and error
// says what failed.
bool WriteFileReplacing(const std::string &path, std::string_view contents, std::string &error);
