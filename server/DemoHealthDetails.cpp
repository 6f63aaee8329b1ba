// The health details JSON texts of the demo cases (see DemoHealthDetails.h).
#include "server/DemoHealthDetails.h"

#include "toolkit/DateTime.h"
#include "json/cJSON.h"

#include <iterator>
#include <string>
#include <vector>

namespace
{
// Health details of the first detail case: all nineteen groups of the health detail view (the
// prescriptions grid is made apart).
struct cHealthItem
{
    const char *Name, *Caption, *Data;
};

struct cHealthGroup
{
    const char *Name, *Caption;
    std::vector<cHealthItem> Items;
};

const cHealthGroup FullHealthGroups[] = {
    {"AllergiesGroupBox",
     " Allergies ",
     {{"AllergiesMemo", "Allergies", "Penicillin (hives); shellfish; latex gloves"}}},
    {"WoundsGroupBox",
     " Wounds ",
     {{"WoundsMemo", "Wounds", "Stage 2 pressure injury on the left heel, dressing changed daily"}}},
    {"SkinConditionGroup",
     " Skin Condition ",
     {{"SkinCondition2", "Rash", "Y"},
      {"SkinCondition4", "Bruises Easily", "Y"},
      {"SkinConditionOther", "Description", "Dry skin on both forearms"}}},
    {"MobilityGroupBox", " Mobility ", {{"Mobility2", "Chair w/Assist", "Y"}}},
    {"BladderGroup",
     " Bladder ",
     {{"Bladder3", "Occasional Incontinent", "Y"}, {"BladderOther", "Other", "Night-time briefs"}}},
    {"BowelGroup", " Bowel ", {{"Bowel1", "Continent", "Y"}}},
    {"VisionGroup",
     " Vision ",
     {{"Vision1", "Glasses", "Y"},
      {"Vision4", "Cataracts", "Y"},
      {"VisionOther", "Other", "Reading glasses only"}}},
    {"SpeechGroup", " Speech ", {{"Speech1", "Verbal", "Y"}, {"SpeechOther", "Other", "Soft voice"}}},
    {"HearingGroup",
     " Hearing ",
     {{"Hearing1", "Left", "Y"},
      {"Hearing4", "Partially Deaf", "Y"},
      {"HearingOther", "Other", "Aid batteries in the bedside drawer"}}},
    {"PhysicalGroup",
     " Physical ",
     {{"PhysicalEdit1", "Amputation", "None"},
      {"PhysicalEdit3", "Weakness (R L)", "L arm"},
      {"PhysicalEdit4", "Contractures", "Right knee"}}},
    {"DentalGroup",
     " Dental Condition ",
     {{"Dental1", "Natural Teeth", "Y"},
      {"Dental4", "Upper Denture", "Y"},
      {"DentalOther", "Description", "Upper denture fits loosely"}}},
    {"ImmunityGroup",
     " Immunity ",
     {{"Immunity1", "Flu Shot", "Y"},
      {"Immunity2", "Pneumonia", "Y"},
      {"Immunity5", "PPD Status", "Y"},
      {"ImmunityDateEdit", "Date", "10/01/2024"}}},
    {"CognitionGroup",
     " Cognition ",
     {{"Cognition1", "Alert", "Y"},
      {"Cognition2", "Oriented", "Y"},
      {"Cognition7", "Cooperative", "Y"},
      {"CognitionOther", "Other", "Mild short-term memory loss"}}},
    {"ActivityPotentialGroup",
     " Activity Potential ",
     {{"Activity2", "Reading", "Y"},
      {"Activity4", "Television", "Y"},
      {"ActivityOther", "Other", "Card games"}}},
    {"RehabGroup",
     " Rehab Discharge Potential ",
     {{"Rehab2", "Fair", "Y"},
      {"Rehab4", "Motivated", "Y"},
      {"RehabOther", "Other", "Goal: walk to the dining room"}}},
    {"FunctionalStatusGroup",
     " Functional Status ",
     {{"Functional1", "Bathing", "Y"},
      {"Functional2", "Dressing", "Y"},
      {"Functional5", "Transfers", "Y"},
      {"FunctionalOther", "Description", "One-person assist for transfers"}}},
    {"PowerOfAttorneyGroup",
     " Power Of Attorney ",
     {{"PowerOfAttorney1", "Durable Power of Attorney", "Y"},
      {"PowerOfAttorney2", "Medical Power of Attorney", "Y"}}},
    {"AdvanceDirectivesGroup",
     " Advance Directives ",
     {{"AdvanceDir1", "DNR", "Y"}, {"AdvanceDir7", "Only Comfort Care", "Y"}}},
};

// The prescriptions of the first detail case: more rows than the view shows.
const char *const FullPrescriptions[][5] = {
    {"Apixaban", "5 mg", "Twice daily", "Oral", "Atrial fibrillation"},
    {"Metoprolol", "25 mg", "Twice daily", "Oral", "Rate control"},
    {"Atorvastatin", "40 mg", "Bedtime", "Oral", "Hyperlipidemia"},
    {"Lisinopril", "10 mg", "Daily", "Oral", "Hypertension"},
    {"Furosemide", "20 mg", "Morning", "Oral", "Edema"},
    {"Potassium chloride", "10 mEq", "Daily", "Oral", "Supplement"},
    {"Metformin", "500 mg", "Twice daily", "Oral", "Diabetes"},
    {"Insulin lispro", "Sliding scale", "With meals", "Subcutaneous", "Diabetes"},
    {"Levothyroxine", "75 mcg", "Morning", "Oral", "Hypothyroidism"},
    {"Omeprazole", "20 mg", "Daily", "Oral", "Reflux"},
    {"Acetaminophen", "650 mg", "Every 6 hours", "Oral", "Pain"},
    {"Senna", "8.6 mg", "Bedtime", "Oral", "Constipation"},
    {"Docusate", "100 mg", "Twice daily", "Oral", "Constipation"},
    {"Vitamin D3", "1000 units", "Daily", "Oral", "Supplement"},
    {"Calcium carbonate", "500 mg", "Twice daily", "Oral", "Supplement"},
    {"Sertraline", "50 mg", "Daily", "Oral", "Depression"},
    {"Donepezil", "5 mg", "Bedtime", "Oral", "Memory"},
    {"Tamsulosin", "0.4 mg", "Bedtime", "Oral", "Urinary retention"},
    {"Albuterol", "2 puffs", "Every 4 hours", "Inhaled", "Wheezing"},
    {"Fluticasone", "1 spray", "Daily", "Nasal", "Rhinitis"},
    {"Heparin", "5000 units", "Every 8 hours", "Subcutaneous", "Clot prevention"},
    {"Ceftriaxone", "1 g", "Daily", "IV", "Pneumonia"},
    {"Enoxaparin", "40 mg", "Daily", "Subcutaneous", "Clot prevention"},
};

void Item(cJSON &group, const char *name, const char *caption, const std::string &data)
{
    cJSON *item = group.GetObject("Details")->GetObject(name);
    item->SetString("Caption", caption);
    item->SetString("Data", data);
}

cJSON &Group(cJSON &root, const char *name, const char *caption)
{
    cJSON *group = root.GetObject(name);
    group->SetString("Caption", caption);
    group->SetValue("Version", "1");
    return *group;
}

} // namespace

std::string DemoHealthDetails(int n)
{
    static const char *drugs[][7] = {
        {"Lisinopril", "10 mg", "Daily", "Oral", "Hypertension", "", "08:00"},
        {"Metformin", "500 mg", "Twice daily", "Oral", "Diabetes", "", "07:30"},
        {"Warfarin", "5 mg", "Evening", "Oral", "Atrial fibrillation", "06/30/2025", "20:00"},
        {"Furosemide", "40 mg", "Morning", "Oral", "Edema", "", "08:00"},
        {"Insulin glargine", "20 units", "Bedtime", "Subcutaneous", "Diabetes", "", "21:00"},
    };
    cJSON root;
    cJSON &rx = Group(root, "PrescriptionsGroupBox", " Prescriptions ");
    cJSON *grid = rx.GetObject("Details")->GetObject("PrescriptionsStringGrid");
    int count = 1 + n % 4;
    for (int r = 0; r < count; ++r)
    {
        cJSON *line = grid->GetObject("Line" + std::to_string(r + 1));
        for (int c = 0; c < 7; ++c)
            line->SetString("Col" + std::to_string(c + 1), drugs[(n + r) % 5][c]);
    }
    cJSON &allergies = Group(root, "AllergiesGroupBox", " Allergies ");
    if (n % 3 == 0)
        Item(allergies, "AllergiesNACheckBox", "N/A", "Y");
    else
        Item(allergies, "AllergiesMemo", "Allergies", n % 2 ? "Penicillin, latex" : "Sulfa drugs");
    cJSON &skin = Group(root, "SkinConditionGroup", " Skin Condition ");
    Item(skin, n % 2 ? "SkinCondition1" : "SkinCondition4", n % 2 ? "Clear" : "Bruises Easily", "Y");
    if (n % 4 == 1)
        Item(skin, "SkinConditionOther", "Description", "Stage 2 sacral pressure sore");
    cJSON &mobility = Group(root, "MobilityGroupBox", " Mobility ");
    const char *mobilityNames[] = {"Mobility1", "Mobility2", "Mobility3"};
    const char *mobilityCaptions[] = {"Ambulate w/Assist", "Chair w/Assist", "Bedridden"};
    Item(mobility, mobilityNames[n % 3], mobilityCaptions[n % 3], "Y");
    cJSON &bladder = Group(root, "BladderGroup", " Bladder ");
    Item(bladder, n % 2 ? "Bladder1" : "Bladder3", n % 2 ? "Continent" : "Occasional Incontinent", "Y");
    cJSON &vision = Group(root, "VisionGroup", " Vision ");
    Item(vision, "Vision1", "Glasses", "Y");
    if (n % 2 == 0)
        Item(vision, "Vision4", "Cataracts", "Y");
    cJSON &cognition = Group(root, "CognitionGroup", " Cognition ");
    Item(cognition, "Cognition1", "Alert", "Y");
    Item(cognition, n % 3 ? "Cognition2" : "Cognition3", n % 3 ? "Oriented" : "Confused at times", "Y");
    Item(cognition, "Cognition7", "Cooperative", "Y");
    cJSON &immunity = Group(root, "ImmunityGroup", " Immunity ");
    Item(immunity, "Immunity1", "Flu Shot", "Y");
    Item(immunity, "ImmunityDateEdit", "Date", "10/0" + std::to_string(1 + n % 9) + "/2024");
    cJSON &functional = Group(root, "FunctionalStatusGroup", " Functional Status ");
    Item(functional, "Functional1", "Bathing", "Y");
    Item(functional, "Functional5", "Transfers", "Y");
    Item(functional, "FunctionalOther", "Description", "Needs one-person assist, \"no stairs\"");
    cJSON &directives = Group(root, "AdvanceDirectivesGroup", " Advance Directives ");
    Item(directives, n % 2 ? "AdvanceDir1" : "AdvanceDirectiveNACheckBox", n % 2 ? "DNR" : "N/A", "Y");
    return root.ToText();
}

std::string DemoFullHealthDetails()
{
    const cDateTime today = static_cast<double>(static_cast<long long>(Now()));
    cJSON root;
    cJSON &rx = Group(root, "PrescriptionsGroupBox", " Prescriptions ");
    cJSON *grid = rx.GetObject("Details")->GetObject("PrescriptionsStringGrid");
    const int rows = static_cast<int>(std::size(FullPrescriptions));
    for (int r = 0; r < rows; ++r)
    {
        cJSON *line = grid->GetObject("Line" + std::to_string(r + 1));
        for (int c = 0; c < 5; ++c)
            line->SetString("Col" + std::to_string(c + 1), FullPrescriptions[r][c]);
        line->SetString("Col6", FormatDateTime("mm/dd/yyyy", today + 7 + r));
        line->SetString("Col7", std::to_string(6 + r % 12) + ":00");
    }
    for (const cHealthGroup &g : FullHealthGroups)
    {
        cJSON &group = Group(root, g.Name, g.Caption);
        for (const cHealthItem &item : g.Items)
            Item(group, item.Name, item.Caption, item.Data);
    }
    return root.ToText();
}
