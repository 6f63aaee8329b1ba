// The questionnaire of the patient health detail view: its nineteen groups, top to bottom, each
// with its items in control order (the names under which the health details JSON keys them), and
// the columns of the prescriptions grid. The view builds its controls from this table.
#pragma once

#include <string_view>
#include <vector>

enum class cHealthItemKind
{
    CheckBox,
    RadioButton, // the radio buttons of a group form one exclusive set
    Edit,        // a one-line edit with its caption as a label on its left
    Memo,        // a memo with a vertical scroll bar
    Grid,        // the prescriptions grid
    Label        // a caption only; never filled
};

struct cHealthItem
{
    std::string_view Name;
    std::string_view Caption;
    cHealthItemKind Kind;
};

struct cHealthGroup
{
    std::string_view Name;
    std::string_view Caption;
    std::vector<cHealthItem> Items;
};

// The nineteen groups in their order.
const std::vector<cHealthGroup> &HealthDetailGroups();

struct cPrescriptionColumn
{
    std::string_view Header;
    int Width;
};

// The grid's eight columns; column 0 (fixed) holds the row number, columns 1 to 7 show the
// members Col1 to Col7 of a row.
const std::vector<cPrescriptionColumn> &PrescriptionColumns();
// Rows of prescriptions under the fixed header row.
constexpr int PrescriptionRows = 20;
