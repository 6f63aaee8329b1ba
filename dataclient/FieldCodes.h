// Field codes and the small text encodings shared by the table requests and the record sets.
#pragma once

#include "protocol/Protocol.h" // EncodeLineBreaks, DecodeLineBreaks
#include "toolkit/StringList.h"

#include <string>
#include <string_view>

// A code that reads as a non-zero decimal number gets the prefix "f" ("22" becomes "f22");
// any other code is returned unchanged.
std::string NormalizeFieldCode(std::string_view code);

// Table-name suffix rules: the reads, adds and deletes cut the last four characters when the name
// holds a "." anywhere; updates cut them only when the name holds ".def".
std::string TableNameForRequest(std::string_view table);
std::string TableNameForUpdate(std::string_view table);

// One note line "<op><number>[:<number>]=<text>" turned into the comma-text of four items:
// number, text, operation letter ("*" -> "R", "@" -> "A", "^" -> "I", others unchanged), second
// number (0 when absent). A line shorter than two characters or without "=" gives "".
std::string EncodeNoteLine(std::string_view line);
// Encodes every line of the list in place.
void EncodeNoteLines(cStringList &notes);
