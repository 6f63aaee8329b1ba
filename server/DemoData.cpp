#include "server/DemoData.h"
#include "server/DemoHealthDetails.h"

#include "toolkit/DateTime.h"
#include "json/cJSON.h"

#include <iterator>
#include <map>

namespace
{
// Reference tables: zip codes (providers and links use their positions), insurance types, the
// service categories with their provider types, and the details of some categories.
struct cZip
{
    const char *Zip, *Lat, *Lon, *City;
};

const cZip Zips[] = {
    {"94110", "37.7486", "-122.4158", "San Francisco"}, {"94107", "37.7621", "-122.3971", "San Francisco"},
    {"94601", "37.7795", "-122.2166", "Oakland"},       {"94501", "37.7712", "-122.2824", "Alameda"},
    {"94103", "37.7725", "-122.4147", "San Francisco"}, {"94404", "37.5542", "-122.2697", "San Mateo"},
    {"94043", "37.4186", "-122.0560", "Mountain View"}, {"95112", "37.3477", "-121.8860", "San Jose"}};

// Each insurance type is known by its code ("@MCR" in the rows below).
const char *const Insurance[][2] = {
    {"MCR", "Medicare"}, {"MCD", "Medicaid"}, {"BCBS", "Blue Cross Blue Shield"},
    {"AET", "Aetna"},    {"HUM", "Humana"},   {"PP", "Private Pay"}};

struct cCategory
{
    const char *Type;
    const char *Number;
    const char *Name;
};

const cCategory Categories[] = {
    {"Extended Care", "140", "Skilled Nursing Facility"},
    {"Extended Care", "149", "Long Term Care"},
    {"Extended Care", "148", "Rehab"},
    {"Extended Care", "153", "Transitional Care"},
    {"Extended Care", "150", "Convalescence"},
    {"Extended Care", "151", "Gero-Psychiatric"},
    {"Extended Care", "152", "In-Patient Hospice"},
    {"Home Health Care", "141", "Nursing Care Services"},
    {"Home Health Care", "142", "Physical Therapy"},
    {"Home Health Care", "146", "Aide Services"},
    {"Home Health Care", "145", "Medical Social Services"},
    {"Home Health Care", "144", "Speech Pathology"},
    {"Home Health Care", "139_1", "Dialysis Equipment"},
    {"Home Health Care", "143", "Occupational Therapy"},
    {"Dialysis", "147", "Dialysis"},
    {"Dialysis", "139", "Home Dialysis Equipment"},
    {"Dialysis", "135", "Hemodialysis Equipment & Supplies"},
    {"Prostheses", "95", "Breast Prostheses & Accessories"},
    {"Prostheses", "108", "Limb Prostheses"},
    {"Prostheses", "115", "Voice Prosthetics"},
    {"Prostheses", "119", "Cochlear Implants"},
    {"Prostheses", "120", "Facial Prostheses"},
    {"Prostheses", "121", "Ocular Prostheses"},
    {"Prostheses", "122", "Somatic Prostheses"},
    {"Prostheses", "126", "Eye Prostheses"},
    {"Prostheses", "123", "Conventional Eyeglasses"},
    {"Prostheses", "124", "Conventional Contact Lenses"},
    {"Prostheses", "125", "Prosthetic Cataract Lenses"},
    {"DME - Mobility", "89", "Walkers"},
    {"DME - Mobility", "90", "Wheelchairs - Standard Manual"},
    {"DME - Mobility", "85", "Canes & Crutches"},
    {"DME - Mobility", "86", "Patient Lifts"},
    {"DME - Mobility", "87", "Power Operated Vehicles (Scooters)"},
    {"DME - Mobility", "88", "Seat Lift Mechanisms"},
    {"DME - Mobility", "91", "Wheelchairs & Accessories: Standard Power"},
    {"DME - Mobility", "92", "Wheelchair Seating/Cushions"},
    {"DME - Mobility", "113", "Wheelchairs & Accessories: Complex Rehabilitative Manual"},
    {"DME - Mobility", "114", "Wheelchairs & Accessories: Complex Rehabilitative Power"},
    {"DME - Other", "134", "Automatic External Defibrillators (AEDS)"},
    {"DME - Other", "72", "Commodes, Urinals, & Bedpans"},
    {"DME - Other", "73", "Continuous Passive Motion (CPM) Devices"},
    {"DME - Other", "96", "Ostomy Supplies"},
    {"DME - Other", "101", "Nebulizer Equipment & Supplies"},
    {"DME - Other", "102", "Oxygen Equipment & Supplies"},
    {"DME - Other", "98", "Urological Supplies"},
    {"DME - Other", "74", "Dynamic Splints"},
    {"DME - Other", "75", "Blood Glucose Monitors & Supplies: Non-Mail Order"},
    {"DME - Other", "76", "Blood Glucose Monitors & Supplies: Mail Order"},
    {"DME - Other", "97", "Tracheostomy Supplies"},
    {"DME - Other", "103", "Respiratory Suction Pumps"},
    {"DME - Other", "100", "CPAP, RADs, & Related Supplies & Accessories"},
    {"DME - Other", "77", "Gastric Suction Pumps"},
    {"DME - Other", "79", "Hospital Beds: Electric"},
    {"DME - Other", "80", "Hospital Beds: Manual"},
    {"DME - Other", "78", "Heat & Cold Applications"},
    {"DME - Other", "109", "Infrared Heating Pad Systems"},
    {"DME - Other", "128", "Infusion Pumps & Supplies: Insulin Infusion"},
    {"DME - Other", "129", "Infusion Pumps & Supplies: Implanted Infusion"},
    {"DME - Other", "116", "Infusion Pumps & Supplies: External Infusion"},
    {"DME - Other", "110", "Negative Pressure Wound Therapy Pumps & Supplies"},
    {"DME - Other", "111", "Neuromuscular Electrical Stimulators (NMES)"},
    {"DME - Other", "136", "Osteogenesis Stimulators"},
    {"DME - Other", "112", "Pneumatic Compression Devices"},
    {"DME - Other", "82", "Pressure Reducing Beds, Mattresses, Overlays, & Pads"},
    {"DME - Other", "81", "Speech Generating Devices"},
    {"DME - Other", "83", "Traction Equipment"},
    {"DME - Other", "84", "Transcutaneous Electrical Nerve Stimulators (TENS) Units"},
    {"DME - Other", "133", "Ultraviolet Light Devices"},
    {"DME - Other", "93", "Orthoses: Prefabricated"},
    {"DME - Other", "94", "Orthoses: Off-the-Shelf"},
    {"DME - Other", "107", "Orthoses: Custom Fabricated"},
    {"DME - Other", "104", "Surgical Dressings"},
    {"DME - Other", "105", "Diabetic Shoes & Inserts: Prefabricated"},
    {"DME - Other", "106", "Diabetic Shoes & Inserts: Custom Fabricated"},
    {"DME - Other", "117", "Intermittent Positive Pressure Breathing (IPPB) Devices"},
    {"DME - Other", "118", "Mechanical In-Exsufflation Devices"},
    {"DME - Other", "130", "Invasive Mechanical Ventilation"},
    {"DME - Other", "131", "Ventilators, Accessories, & Supplies"},
    {"DME - Other", "137", "Intrapulmonary Percussive Ventilation Devices"},
    {"DME - Other", "138", "High Frequency Chest Wall Oscillation (HFCWO) Devices"},
    {"DME - Other", "99", "Enternal Nutrients, Equipment, & Supplies"},
    {"DME - Other", "132", "Parenternal Nutrients, Equipment, & Supplies"},
    {"DME - Other", "127", "Neurostimulators"},
};

// A record of the demo data. A value "@name" stands for the Seq of the record added before under
// that key; a row with a key is known by it from then on. Provider types are known as
// "type:<name>", categories as "category:<number>" and insurance types by their code.
struct cDemoRow
{
    const char *Key; // null: not referred to
    const char *Table;
    cFieldValues Values;
};

const cDemoRow CategoryDetails[] = {
    {"snfShort", "ProviderCategoryDetails", {{10, "@category:140"}, {11, "Short-term stay"}}},
    {"snfLong", "ProviderCategoryDetails", {{10, "@category:140"}, {11, "Long-term stay"}}},
    {"rehabIn", "ProviderCategoryDetails", {{10, "@category:148"}, {11, "Inpatient rehab"}}},
    {"dialysisCenter", "ProviderCategoryDetails", {{10, "@category:147"}, {11, "In-center, 3x weekly"}}},
    {"nursingVisit", "ProviderCategoryDetails", {{10, "@category:141"}, {11, "Skilled nursing visits"}}},
};

// The demo provider, two hospitals and a rival provider.
const cDemoRow Entities[] = {
    {"provider",
     "ProviderEntities",
     {{10, DemoProviderName},
      {11, "Admissions Office"},
      {12, "1200 Bayview Ave"},
      {13, "San Francisco"},
      {14, "CA"},
      {15, "94110"},
      {16, "415-555-0100"},
      {18, "415-555-0101"},
      {20, "office@bayview.example"},
      {21, "alerts@bayview.example"},
      {23, "www.bayview.example"},
      {26, "1234567893"},
      {27, "37.7486"},
      {28, "-122.4158"}}},
    {"hospitalA",
     "ProviderEntities",
     {{10, "St. Anne Memorial Hospital"},
      {12, "500 Parnassus Ave"},
      {13, "San Francisco"},
      {14, "CA"},
      {15, "94103"},
      {16, "415-555-0200"}}},
    {"hospitalB",
     "ProviderEntities",
     {{10, "Eastbay General Hospital"},
      {12, "88 Harbor Blvd"},
      {13, "Oakland"},
      {14, "CA"},
      {15, "94601"},
      {16, "510-555-0300"}}},
    {"rival",
     "ProviderEntities",
     {{10, "Harborview Home Health"},
      {12, "42 Marina Way"},
      {13, "Alameda"},
      {14, "CA"},
      {15, "94501"},
      {16, "510-555-0400"}}},
};

// The provider's staff (the administrator first) and one case worker at each hospital. Every
// record that can sign in has a password.
const cDemoRow Staff[] = {
    {nullptr,
     "Personnel",
     {{2, "20240105083000"},
      {9, "@provider"},
      {10, "Ms."},
      {11, "Alice"},
      {13, "Morgan"},
      {19, "415-555-0110"},
      {22, DemoAdminEmail},
      {23, DemoAdminPassword},
      {26, "Y"},
      {31, "Y"}}},
    {nullptr,
     "Personnel",
     {{2, "20240212101500"},
      {9, "@provider"},
      {10, "Mr."},
      {11, "Nathan"},
      {13, "Reyes"},
      {19, "415-555-0111"},
      {22, "nathan@bayview.example"},
      {23, "intake22"},
      {29, "Y"},
      {30, "4155550111@sms.example"}}},
    {nullptr,
     "Personnel",
     {{2, "20240301140000"},
      {9, "@provider"},
      {10, "Mrs."},
      {11, "Olivia"},
      {13, "Chen"},
      {19, "415-555-0112"},
      {23, "night33"}}},
    {"workerA",
     "Personnel",
     {{9, "@hospitalA"},
      {10, "Ms."},
      {11, "Grace"},
      {12, "L."},
      {13, "Whitfield"},
      {19, "415-555-0210"},
      {22, "gwhitfield@stanne.example"},
      {23, "stanne210"}}},
    {"workerB",
     "Personnel",
     {{9, "@hospitalB"},
      {10, "Mr."},
      {11, "Daniel"},
      {13, "Okafor"},
      {19, "510-555-0310"},
      {22, "dokafor@eastbay.example"},
      {23, "eastbay310"}}},
};

// The provider's links: insurance types taken, service categories offered (with the position
// they are offered from) and category details.
const cDemoRow Links[] = {
    {nullptr, "ProviderInsuranceLink", {{10, "@provider"}, {11, "@MCR"}}},
    {nullptr, "ProviderInsuranceLink", {{10, "@provider"}, {11, "@MCD"}}},
    {nullptr, "ProviderInsuranceLink", {{10, "@provider"}, {11, "@BCBS"}}},
    {nullptr, "ProviderCategoryLink", {{10, "@provider"}, {11, "140"}, {13, "37.7486"}, {14, "-122.4158"}}},
    {nullptr, "ProviderCategoryLink", {{10, "@provider"}, {11, "147"}, {13, "37.7486"}, {14, "-122.4158"}}},
    {nullptr, "ProviderCategoryLink", {{10, "@provider"}, {11, "139_1"}, {13, "37.7486"}, {14, "-122.4158"}}},
    {nullptr, "ProviderCategoryDetailLink", {{10, "@provider"}, {11, "@snfShort"}}},
};

// The twelve cases of the lists: their patients, diagnoses (code, description, procedure), the
// state of the provider's quote and the kind of need.
struct cPatient
{
    const char *First, *Middle, *Last, *Ssn, *Birth, *Gender;
};

const cPatient Patients[] = {
    {"Harold", "J", "Simmons", "123-45-6701", "03/14/1938", "M"},
    {"Margaret", "A", "Lopez", "123-45-6702", "07/22/1945", "F"},
    {"Walter", "", "Nguyen", "123-45-6703", "11/02/1951", "M"},
    {"Evelyn", "R", "Brooks", "123-45-6704", "01/30/1933", "F"},
    {"Frank", "T", "Delgado", "123-45-6705", "09/09/1948", "M"},
    {"Dorothy", "M", "Kim", "123-45-6706", "05/17/1940", "F"},
    {"George", "", "Patel", "123-45-6707", "12/25/1955", "M"},
    {"Ruth", "E", "Jackson", "123-45-6708", "04/04/1936", "F"},
    {"Samuel", "K", "O'Brien", "123-45-6709", "08/19/1947", "M"},
    {"Irene", "", "Castillo", "123-45-6710", "02/11/1942", "F"},
    {"Louis", "P", "Wagner", "123-45-6711", "06/06/1939", "M"},
    {"Betty", "J", "Hughes", "123-45-6712", "10/31/1950", "F"},
};

struct cDiagnosis
{
    const char *Code, *Description, *Procedure;
};

const cDiagnosis Diagnoses[] = {{"I50.9", "Heart failure, unspecified", "Z9981"},
                                {"S72.001A", "Fracture of right femoral neck", "0SRR0J9"},
                                {"N18.6", "End stage renal disease", "5A1D70Z"},
                                {"J44.1", "COPD with acute exacerbation", "5A09357"},
                                {"I63.9", "Cerebral infarction", "F07L0ZZ"},
                                {"E11.65", "Type 2 diabetes with hyperglycemia", "3E013VG"}};

enum eQuoteState
{
    Unanswered,
    Accepted,
    Declined,
    AwardedToUs,
    AwardedToRival,
    HiddenByUs,
};

const eQuoteState QuoteStates[] = {Unanswered,     Accepted,   Declined,       AwardedToUs,
                                   AwardedToRival, Unanswered, Accepted,       AwardedToUs,
                                   Unanswered,     Declined,   AwardedToRival, HiddenByUs};

struct cNeedKind
{
    const char *Type, *Category, *Detail;
};

const cNeedKind NeedKinds[] = {{"Extended Care", "140", "@snfShort"},
                               {"Dialysis", "147", "@dialysisCenter"},
                               {"Home Health Care", "141", "@nursingVisit"},
                               {"Extended Care", "148", "@rehabIn"}};

// Three cases that show the rules of the case pages: one whose health details fill all nineteen
// groups and which has a diagnosis code without a description; one with an empty case number, a
// gender stored as a lower-case letter and a birth date that cannot be parsed; and one awarded to
// the provider whose case worker has all four name parts.
struct cDetailCase
{
    const char *First, *Middle, *Last, *Ssn, *Birth, *Gender, *CaseNumber;
    bool HospitalA, Awarded;
};

const cDetailCase DetailCases[] = {
    {"Eleanor", "V", "Hartley", "123-45-6713", "12/05/1944", "F", "C-2025-1013", true, false},
    {"Victor", "", "Alvarez", "123-45-6714", "03/1950", "m", "", false, false},
    {"Agnes", "M", "Whitaker", "123-45-6715", "08/23/1937", "F", "C-2025-1015", true, true},
};

// Adds records, resolving "@name" values and remembering keyed rows. After the first failure
// nothing more is added and Ok stays false with Error.
class cDemoWriter
{
public:
    explicit cDemoWriter(cStore &store) : Store(store) {}

    // The new record's Seq as text ("0" once anything has failed).
    std::string Add(const char *table, cFieldValues values, const char *key = nullptr)
    {
        for (auto &value : values)
            if (!value.second.empty() && value.second[0] == '@')
                value.second = Seq(value.second.substr(1));
        long long seq = Ok ? Store.Insert(*cCatalogue::FindTable(table), values, Error) : 0;
        Ok = seq != 0;
        if (Ok && key != nullptr)
            Keys[key] = std::to_string(seq);
        return std::to_string(seq);
    }
    void Add(const cDemoRow &row) { Add(row.Table, row.Values, row.Key); }
    // The need goes to the quote `winner`.
    void Award(const std::string &need, const std::string &winner)
    {
        if (Ok)
            Store.Update(*cCatalogue::FindTable("CaseNeeds"), std::stoll(need), {{16, winner}}, Error);
    }
    std::string Seq(const std::string &key)
    {
        auto found = Keys.find(key);
        if (found != Keys.end())
            return found->second;
        Ok = false;
        Error = "The demo data names no record " + key;
        return std::string();
    }

    bool Ok = true;
    std::string Error;

private:
    cStore &Store;
    std::map<std::string, std::string> Keys;
};

// Zip codes, insurance types, provider types with their categories, and category details.
void AddReferenceData(cDemoWriter &w)
{
    for (const cZip &z : Zips)
        w.Add("ZipCodes", {{10, z.Zip}, {11, z.Lat}, {12, z.Lon}});
    for (const auto &insurance : Insurance)
        w.Add("InsuranceTypes", {{10, insurance[0]}, {11, insurance[1]}}, insurance[0]);
    std::map<std::string, bool> typeAdded;
    for (const cCategory &c : Categories)
    {
        const std::string type = std::string("type:") + c.Type;
        if (!typeAdded[type])
            w.Add("ProviderTypes", {{10, c.Type}}, type.c_str());
        typeAdded[type] = true;
        const std::string key = std::string("category:") + c.Number;
        w.Add("ProviderCategories", {{10, "@" + type}, {11, c.Number}, {12, c.Name}}, key.c_str());
    }
    for (const cDemoRow &row : CategoryDetails)
        w.Add(row);
}

// The provider, the hospitals and the rival with their staff and the provider's links.
void AddEntities(cDemoWriter &w)
{
    for (const cDemoRow &row : Entities)
        w.Add(row);
    for (const cDemoRow &row : Staff)
        w.Add(row);
    for (const cDemoRow &row : Links)
        w.Add(row);
}

cDateTime Today()
{
    return static_cast<double>(static_cast<long long>(Now()));
}

// The need of list case i with the provider's quote in its state, and for every third case a
// second need, still open.
void AddCaseNeeds(cDemoWriter &w, int i, const std::string &caseSeq, const std::string &discharge)
{
    const cPatient &p = Patients[i];
    const cNeedKind &kind = NeedKinds[i % 4];
    // Some descriptions hold quotes, as typed by a hospital.
    std::string description = std::string("Placement needed for ") + p.First + " " + p.Last;
    if (i % 4 == 1)
        description += ", \"no stairs\", ground floor room";
    std::string need = w.Add("CaseNeeds", {{10, caseSeq},
                                           {11, std::string("@type:") + kind.Type},
                                           {12, std::string("@category:") + kind.Category},
                                           {13, kind.Detail},
                                           {14, discharge + "090000"},
                                           {15, description}});
    const eQuoteState state = QuoteStates[i];
    cFieldValues quote = {{10, need}, {11, "@provider"}};
    if (state == Accepted || state == AwardedToUs || state == AwardedToRival)
        quote.insert(
            quote.end(),
            {{12, "1"}, {13, std::to_string(180 + i * 15)}, {14, "A"}, {1001, "We have a bed available."}});
    if (state == Declined)
        quote.insert(quote.end(), {{12, "1"}, {14, "R"}, {15, "3"}, {1001, "No capacity that week."}});
    if (state == HiddenByUs)
        quote.insert(quote.end(), {{14, "R"}, {15, "1"}, {16, "N"}});
    std::string ours = w.Add("CaseNeedsQuote", quote);
    if (state == AwardedToUs)
        w.Award(need, ours);
    if (state == AwardedToRival)
        w.Award(need, w.Add("CaseNeedsQuote", {{10, need}, {11, "@rival"}, {13, "150"}, {14, "A"}}));
    if (i % 3 == 0)
    {
        std::string second = w.Add("CaseNeeds", {{10, caseSeq},
                                                 {11, "@type:Home Health Care"},
                                                 {12, "@category:142"},
                                                 {14, discharge + "130000"},
                                                 {15, "Physical therapy at home"}});
        w.Add("CaseNeedsQuote", {{10, second}, {11, "@provider"}});
    }
}

// List case i: patient, case record (dates follow the day the demo data is made, so the cases
// always look current: admitted over the last weeks, leaving within the next days) and codes.
void AddCase(cDemoWriter &w, int i)
{
    const cPatient &p = Patients[i];
    const cDiagnosis &d = Diagnoses[i % 6];
    std::string patient =
        w.Add("Patients", {{10, p.First}, {11, p.Middle}, {12, p.Last}, {13, p.Ssn}, {14, p.Birth}});
    const bool a = i % 2 == 0;
    const std::string discharge = FormatDateTime("yyyymmdd", Today() + 1 + i % 6);
    std::string caseSeq =
        w.Add("Cases", {{10, patient},
                        {11, a ? "@hospitalA" : "@hospitalB"},
                        {12, FormatDateTime("yyyymmdd", Today() - 20 + i)},
                        {13, discharge},
                        {14, std::to_string(300 + i * 7)},
                        {15, i % 2 ? "B" : "A"},
                        {16, std::to_string(60 + i % 12) + " in"},
                        {17, std::to_string(130 + i * 6) + " lb"},
                        {19, std::string("@") + Insurance[i % 6][0]},
                        {20, i % 3 ? std::string("@") + Insurance[(i + 2) % 6][0] : ""},
                        {21, i % 4 == 0 ? "@PP" : ""},
                        {22, "C-2025-" + std::to_string(1001 + i)},
                        {23, a ? "@workerA" : "@workerB"},
                        {30, p.Gender},
                        {34, std::to_string(100 + i * 11) + " Oak St"},
                        {35, a ? "San Francisco" : "Oakland"},
                        {36, "CA"},
                        {37, a ? "94110" : "94601"},
                        {38, "415-555-07" + std::to_string(10 + i)},
                        {1001, std::string(d.Description) + "\r\nAdmitted through the emergency department."},
                        {1002, DemoHealthDetails(i)}});
    w.Add("DiagCodeDetail", {{10, caseSeq}, {11, d.Code}, {1001, d.Description}});
    w.Add("DiagCodeDetail", {{10, caseSeq}, {11, "I10"}, {1001, "Essential hypertension"}});
    w.Add("TreatmentCodeDetail", {{10, caseSeq}, {11, d.Procedure}, {1001, "Procedure during stay"}});
    AddCaseNeeds(w, i, caseSeq, discharge);
}

// Detail case n (1 to 3): patient, case record, codes, a need for skilled nursing and the
// provider's quote.
void AddDetailCase(cDemoWriter &w, int n)
{
    const cDetailCase &c = DetailCases[n - 1];
    std::string patient =
        w.Add("Patients", {{10, c.First}, {11, c.Middle}, {12, c.Last}, {13, c.Ssn}, {14, c.Birth}});
    const std::string discharge = FormatDateTime("yyyymmdd", Today() + 1 + n);
    std::string caseSeq =
        w.Add("Cases", {{10, patient},
                        {11, c.HospitalA ? "@hospitalA" : "@hospitalB"},
                        {12, FormatDateTime("yyyymmdd", Today() - 6 - n)},
                        {13, discharge},
                        {14, std::to_string(410 + n)},
                        {15, "A"},
                        {16, std::to_string(62 + n) + " in"},
                        {17, std::to_string(140 + n * 9) + " lb"},
                        {19, "@MCR"},
                        {20, n == 1 ? "@BCBS" : ""},
                        {22, c.CaseNumber},
                        {23, c.HospitalA ? "@workerA" : "@workerB"},
                        {30, c.Gender},
                        {34, std::to_string(700 + n * 13) + " Pine St"},
                        {35, c.HospitalA ? "San Francisco" : "Oakland"},
                        {36, "CA"},
                        {37, c.HospitalA ? "94110" : "94601"},
                        {38, "415-555-08" + std::to_string(10 + n)},
                        {1001, "Heart failure with reduced ejection fraction\r\nAdmitted for diuresis."},
                        {1002, n == 1 ? DemoFullHealthDetails() : DemoHealthDetails(11 + n)}});
    w.Add("DiagCodeDetail", {{10, caseSeq}, {11, "I50.22"}, {1001, "Chronic systolic heart failure"}});
    if (n == 1)
        w.Add("DiagCodeDetail", {{10, caseSeq}, {11, "R26.81"}});
    w.Add("TreatmentCodeDetail", {{10, caseSeq}, {11, "94660"}, {1001, "CPAP initiation and management"}});
    std::string need =
        w.Add("CaseNeeds", {{10, caseSeq},
                            {11, "@type:Extended Care"},
                            {12, "@category:140"},
                            {13, "@snfShort"},
                            {14, discharge + "100000"},
                            {15, std::string("Skilled nursing placement for ") + c.First + " " + c.Last}});
    cFieldValues quote = {{10, need}, {11, "@provider"}};
    if (c.Awarded)
        quote.insert(quote.end(), {{12, "1"}, {13, "240"}, {14, "A"}, {1001, "Private room available."}});
    std::string ours = w.Add("CaseNeedsQuote", quote);
    if (c.Awarded)
        w.Award(need, ours);
}
} // namespace

long long DemoProviderSeq(cStore &store)
{
    std::vector<cRecord> found =
        store.Select(*cCatalogue::FindTable("ProviderEntities"), 10, DemoProviderName, 1, 0, 1);
    return found.empty() ? 0 : found.front().Seq;
}

bool FillDemoData(cStore &store, std::string &error)
{
    return store.Transaction(
        [&](std::string &err)
        {
            cDemoWriter w(store);
            AddReferenceData(w);
            AddEntities(w);
            for (int i = 0; i < static_cast<int>(std::size(Patients)); ++i)
                AddCase(w, i);
            for (int n = 1; n <= static_cast<int>(std::size(DetailCases)); ++n)
                AddDetailCase(w, n);
            err = w.Error;
            return w.Ok;
        },
        error);
}
