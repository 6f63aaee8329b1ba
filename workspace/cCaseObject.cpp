#include "workspace/cCaseObject.h"

#include "workspace/MemberReader.h"

void cCaseObject::Fill(const std::string &key, const cJSON *fields)
{
    Key = key;
    std::string caseKey;
    const cMemberTarget targets[] = {
        {"Status", &Status},       {"ca22", &CaseNumber},    {"ca1", &caseKey},
        {"ca10", &PatientKey},     {"ca11", &HospitalKey},   {"H10", &HospitalName},
        {"ca14", &CaseField14},    {"ca15", &CaseField15},   {"P13", &PatientField13},
        {"P14", &PatientField14},  {"ca19", &Insurance1Key}, {"Ip10", &Insurance1Name},
        {"Is10", &Insurance2Name}, {"ca20", &Insurance2Key}, {"It10", &Insurance3Name},
        {"ca21", &Insurance3Key}};
    ReadMembers(fields, targets);
    if (CaseNumber.empty())
        CaseNumber = caseKey;
}
