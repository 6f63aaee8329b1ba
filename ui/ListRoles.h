// The item data roles of the workspace's list models. Display and accessible text are a line's
// text as drawn; the delegates paint from the roles below, and handlers find entries by KeyRole.
#pragma once

#include <Qt>

namespace list_role
{
enum : int
{
    Key = Qt::UserRole + 1, // the record key (case, quote, member)
    IsQuote,                // open-requests tree: a quote line (else a case line)
    Hospital,
    CaseNumber,
    Insurance,
    Date,        // a required date in display form
    Description, // the description column as drawn
    Accepted,    // a quote the provider accepted
    Code,        // a code list item's code
};
} // namespace list_role
