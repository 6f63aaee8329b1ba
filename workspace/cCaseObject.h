// One case (a "Cases" record with its hospital, patient and insurance names) as the quote load
// returns it.
#pragma once

#include <string>

class cJSON;

class cCaseObject
{
public:
    cCaseObject() = default;
    cCaseObject(const cCaseObject &) = default;
    cCaseObject &operator=(const cCaseObject &) = default;

    // Fills every text from the case's "Fields" object of the reply; key is the name under which
    // the case stands. A null fields object leaves all but Key empty.
    void Fill(const std::string &key, const cJSON *fields);
    // As Fill, but moves the texts out of fields (left empty): for a reply dropped after reading.
    void Take(const std::string &key, cJSON *fields);

    std::string Key;
    std::string Status;
    std::string CaseNumber; // "ca22", or "ca1" when that is empty
    std::string PatientKey;
    std::string HospitalKey;
    std::string HospitalName;
    std::string CaseField14;
    std::string CaseField15;
    std::string PatientField13;
    std::string PatientField14;
    std::string Insurance1Key;
    std::string Insurance1Name;
    std::string Insurance2Name;
    std::string Insurance2Key;
    std::string Insurance3Name;
    std::string Insurance3Key;

private:
    // Fill from fields, or Take when take is fields.
    void Read(const std::string &key, const cJSON *fields, cJSON *take);
};
