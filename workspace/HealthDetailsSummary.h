// The summary lines of a case's structured health details, as the case pages show them in their
// health details memo.
#pragma once

class cStringList;

// Reads the JSON text held as the value "f1002" of the list, then replaces the list's lines by the
// summary: one line per group with Details ("Caption  --  " and its items joined by three blanks;
// a ticked box shows its caption alone); a prescriptions grid adds an empty line, "Prescriptions:",
// one line per filled row of Line1 to Line20 (columns Col1 to Col9, "Take Until: " before
// column 6, "Last Given: " before column 7) and an empty line. Items placed before a grid keep
// their own summary line, and so do items placed after it; a group made of a grid alone adds no
// summary line of its own.
void RenderHealthDetails(cStringList &list);
