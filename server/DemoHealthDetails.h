// The health details of the demo cases, as the JSON text the case stores in field 1002.
#pragma once

#include <string>

// Health details of case number n: groups with items, ticked boxes and a prescriptions grid.
std::string DemoHealthDetails(int n);
// Health details that fill all nineteen groups of the health detail view: memos, radio groups,
// edits, ticked boxes and a prescriptions grid of more rows than the view shows, with "Stop" and
// "Last Given" set.
std::string DemoFullHealthDetails();
