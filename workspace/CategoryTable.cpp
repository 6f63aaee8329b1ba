#include "workspace/CategoryTable.h"

namespace
{
constexpr cCategorySection Sections[] = {
    {"ExtendedCareHeading", "Extended Care", 28, 32, false},
    {"HomeHealthCareHeading", "Home Health Care", 28, 204, false},
    {"DialysisHeading", "Dialysis", 300, 32, false},
    {"ProsthesesHeading", "Prostheses", 300, 172, false},
    {"DmeMobilityHeading", "DME - Mobility", 656, 32, false},
    {"DmeOtherHeading", "DME - Other", 656, 244, true},
};

constexpr cCategoryBox Boxes[] = {
    {"S140", "Skilled Nursing Facility", 0},
    {"S149", "Long Term Care", 0},
    {"S148", "Rehab", 0},
    {"S153", "Transitional Care", 0},
    {"S150", "Convalescence", 0},
    {"S151", "Gero-Psychiatric", 0},
    {"S152", "In-Patient Hospice", 0},
    {"S141", "Nursing Care Services", 1},
    {"S142", "Physical Therapy", 1},
    {"S146", "Aide Services", 1},
    {"S145", "Medical Social Services", 1},
    {"S144", "Speech Pathology", 1},
    {"S139_1", "Dialysis Equipment", 1},
    {"S143", "Occupational Therapy", 1},
    {"S147", "Dialysis", 2},
    {"S139", "Home Dialysis Equipment", 2},
    {"S135", "Hemodialysis Equipment & Supplies", 2},
    {"S95", "Breast Prostheses & Accessories", 3},
    {"S108", "Limb Prostheses", 3},
    {"S115", "Voice Prosthetics", 3},
    {"S119", "Cochlear Implants", 3},
    {"S120", "Facial Prostheses", 3},
    {"S121", "Ocular Prostheses", 3},
    {"S122", "Somatic Prostheses", 3},
    {"S126", "Eye Prostheses", 3},
    {"S123", "Conventional Eyeglasses", 3},
    {"S124", "Conventional Contact Lenses", 3},
    {"S125", "Prosthetic Cataract Lenses", 3},
    {"S89", "Walkers", 4},
    {"S90", "Wheelchairs - Standard Manual", 4},
    {"S85", "Canes && Crutches", 4},
    {"S86", "Patient Lifts", 4},
    {"S87", "Power Operated Vehicles (Scooters)", 4},
    {"S88", "Seat Lift Mechanisms", 4},
    {"S91", "Wheelchairs && Accessories: Standard Power", 4},
    {"S92", "Wheelchair Seating/Cushions", 4},
    {"S113", "Wheelchairs & Accessories: Complex Rehabilitative Manual", 4},
    {"S114", "Wheelchairs & Accessories: Complex Rehabilitative Power", 4},
    {"S134", "Automatic External Defibrillators (AEDS)", 5},
    {"S72", "Commodes, Urinals, && Bedpans", 5},
    {"S73", "Continuous Passive Motion (CPM) Devices", 5},
    {"S96", "Ostomy Supplies", 5},
    {"S101", "Nebulizer Equipment && Supplies", 5},
    {"S102", "Oxygen Equipment && Supplies", 5},
    {"S98", "Urological Supplies", 5},
    {"S74", "Dynamic Splints", 5},
    {"S75", "Blood Glucose Monitors && Supplies: Non-Mail Order", 5},
    {"S76", "Blood Glucose Monitors && Supplies: Mail Order", 5},
    {"S97", "Tracheostomy Supplies", 5},
    {"S103", "Respiratory Suction Pumps", 5},
    {"S100", "CPAP, RADs, && Related Supplies && Accessories", 5},
    {"S77", "Gastric Suction Pumps", 5},
    {"S79", "Hospital Beds: Electric", 5},
    {"S80", "Hospital Beds: Manual", 5},
    {"S78", "Heat && Cold Applications", 5},
    {"S109", "Infrared Heating Pad Systems", 5},
    {"S128", "Infusion Pumps && Supplies: Insulin Infusion", 5},
    {"S129", "Infusion Pumps && Supplies: Implanted Infusion", 5},
    {"S116", "Infusion Pumps && Supplies: External Infusion", 5},
    {"S110", "Negative Pressure Wound Therapy Pumps && Supplies", 5},
    {"S111", "Neuromuscular Electrical Stimulators (NMES)", 5},
    {"S136", "Osteogenesis Stimulators", 5},
    {"S112", "Pneumatic Compression Devices", 5},
    {"S82", "Pressure Reducing Beds, Mattresses, Overlays, && Pads", 5},
    {"S81", "Speech Generating Devices", 5},
    {"S83", "Traction Equipment", 5},
    {"S84", "Transcutaneous Electrical Nerve Stimulators (TENS) Units", 5},
    {"S133", "Ultraviolet Light Devices", 5},
    {"S93", "Orthoses: Prefabricated", 5},
    {"S94", "Orthoses: Off-the-Shelf", 5},
    {"S107", "Orthoses: Custom Fabricated", 5},
    {"S104", "Surgical Dressings", 5},
    {"S105", "Diabetic Shoes && Inserts: Prefabricated", 5},
    {"S106", "Diabetic Shoes && Inserts: Custom Fabricated", 5},
    {"S117", "Intermittent Positive Pressure Breathing (IPPB) Devices", 5},
    {"S118", "Mechanical In-Exsufflation Devices", 5},
    {"S130", "Invasive Mechanical Ventilation", 5},
    {"S131", "Ventilators, Accessories, && Supplies", 5},
    {"S137", "Intrapulmonary Percussive Ventilation Devices", 5},
    {"S138", "High Frequency Chest Wall Oscillation (HFCWO) Devices", 5},
    {"S99", "Enternal Nutrients, Equipment, && Supplies", 5},
    {"S132", "Parenternal Nutrients, Equipment, && Supplies", 5},
    {"S127", "Neurostimulators", 5},
};

// Longest category number a box name carries.
constexpr std::size_t MaxKeyLength = 6;
} // namespace

std::span<const cCategorySection> CategorySections()
{
    return Sections;
}

std::span<const cCategoryBox> CategoryBoxes()
{
    return Boxes;
}

std::string CategoryKey(std::string_view boxName)
{
    return boxName.size() > 1 ? std::string(boxName.substr(1, MaxKeyLength)) : std::string();
}

std::string CaptionDisplayText(std::string_view caption)
{
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i)
    {
        if (caption[i] != '&')
            shown += caption[i];
        else if (i + 1 < caption.size() && caption[i + 1] == '&')
            shown += caption[++i];
    }
    return shown;
}

char CaptionAccelerator(std::string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i)
    {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return caption[i + 1];
        ++i;
    }
    return 0;
}

cStringList CategoryLinkLines(const std::string &providerKey, const std::string &category,
                              const std::string &zipValue1, const std::string &zipValue2)
{
    cStringList lines;
    lines.SetValues("f10", providerKey);
    lines.SetValues("f11", category);
    lines.SetValues("f13", zipValue1);
    lines.SetValues("f14", zipValue2);
    return lines;
}
