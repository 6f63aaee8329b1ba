#include "workspace/cCaseObject.h"

#include "workspace/MemberReader.h"

void cCaseObject::Fill(const std::string &key, const cJSON *fields)
{
    Read(key, fields, nullptr);
}

void cCaseObject::Take(const std::string &key, cJSON *fields)
{
    Read(key, fields, fields);
}

void cCaseObject::Read(const std::string &key, const cJSON *fields, cJSON *take)
{
    Key = key;
    std::string caseKey;
    // In the order of the request's "CaseFieldList", which the server follows (ReadMembers tries
    // the target after the previous match first).
    const cMemberTarget targets[] = {
        {"ca1", &caseKey},         {"ca10", &PatientKey},     {"ca11", &HospitalKey},
        {"ca14", &CaseField14},    {"ca15", &CaseField15},    {"ca19", &Insurance1Key},
        {"ca20", &Insurance2Key},  {"ca21", &Insurance3Key},  {"ca22", &CaseNumber},
        {"H10", &HospitalName},    {"P13", &PatientField13},  {"P14", &PatientField14},
        {"Ip10", &Insurance1Name}, {"Is10", &Insurance2Name}, {"It10", &Insurance3Name},
        {"Status", &Status}};
    if (take)
        TakeMembers(take, targets);
    else
        ReadMembers(fields, targets);
    if (CaseNumber.empty())
        CaseNumber = caseKey;
}
