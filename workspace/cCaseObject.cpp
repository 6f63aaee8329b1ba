#include "workspace/cCaseObject.h"

#include "json/cJSON.h"

void cCaseObject::Fill(const std::string &key, const cJSON *fields)
{
    *this = cCaseObject();
    Key = key;
    if (!fields)
        return;
    auto value = [fields](const char *code) { return fields->GetValue(code); };
    Status = value("Status");
    CaseNumber = value("ca22");
    if (CaseNumber.empty())
        CaseNumber = value("ca1");
    PatientKey = value("ca10");
    HospitalKey = value("ca11");
    HospitalName = value("H10");
    CaseField14 = value("ca14");
    CaseField15 = value("ca15");
    PatientField13 = value("P13");
    PatientField14 = value("P14");
    Insurance1Key = value("ca19");
    Insurance1Name = value("Ip10");
    Insurance2Name = value("Is10");
    Insurance2Key = value("ca20");
    Insurance3Name = value("It10");
    Insurance3Key = value("ca21");
}
