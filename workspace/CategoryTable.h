// The categories of service a provider can offer, as the category selection dialog lays them
// out: six sections, each a heading over a column of check boxes, and 83 boxes named "S" and the
// category number. The dialog is built from these tables.
#pragma once

#include "toolkit/StringList.h"

#include <span>
#include <string>
#include <string_view>

struct cCategorySection
{
    const char *Name;    // object name of the heading
    const char *Heading; // heading text
    int Left;            // heading position in the dialog
    int Top;
    bool Scrolled; // the boxes sit in a scroll box under the heading
};

struct cCategoryBox
{
    const char *Name;    // "S" and the category number
    const char *Caption; // "&&" shows one ampersand, a single "&" marks the accelerator
    int Section;         // index into CategorySections()
};

// The six sections, in the dialog's order.
std::span<const cCategorySection> CategorySections();
// The 83 boxes, section by section, top to bottom: the dialog's control order.
std::span<const cCategoryBox> CategoryBoxes();

// The category number of a box: its name from the second character on, at most six characters
// ("S139_1" gives "139_1").
std::string CategoryKey(std::string_view boxName);

// A caption as shown: "&&" becomes one ampersand, a single "&" is dropped.
std::string CaptionDisplayText(std::string_view caption);
// The character after the first single "&" of a caption, or 0 when there is none.
char CaptionAccelerator(std::string_view caption);

// The name=value lines of a new "ProviderCategoryLink" record, in this order: "f10" the
// provider, "f11" the category number, "f13" and "f14" the two values of the provider's zip code
// record. A value that is empty is left out.
cStringList CategoryLinkLines(const std::string &providerKey, const std::string &category,
                              const std::string &zipValue1, const std::string &zipValue2);
