#include "workspace/CaseTexts.h"

#include "toolkit/StringList.h"

#include <cctype>

namespace
{
constexpr double DaysPerYear = 365.25;
constexpr double OldestAge = 130;
} // namespace

std::string CaseDetailAgeText(const std::string &birthDate, cDateTime now)
{
    cDateTime birth = 0;
    if (!TryStrToDate(birthDate, birth))
        return "Unknown";
    // A birth date in the future or beyond any life span is a wrong entry, not an age.
    const double age = (now - birth) / DaysPerYear;
    if (age < 0 || age > OldestAge)
        return "";
    return FormatFloat("##0.0", age);
}

std::string AwardedAgeText(const std::string &birthDate, cDateTime now)
{
    cDateTime birth = 0;
    if (!TryStrToDate(birthDate, birth) || static_cast<long long>(birth) == 0)
        return "";
    const double age = (now - birth) / DaysPerYear;
    if (age < 0 || age > OldestAge)
        return "";
    return FormatFloat("0.0", age);
}

std::string CaseDetailGenderText(const std::string &gender)
{
    std::string upper = gender;
    for (char &c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "M")
        return "Male";
    if (upper == "F")
        return "Female";
    return "";
}

std::string AwardedGenderText(const std::string &gender)
{
    if (gender.empty())
        return "";
    if (gender[0] == 'F')
        return "Female";
    if (gender[0] == 'M')
        return "Male";
    return "";
}

std::string CaseNumberText(const std::string &caseNumber, const std::string &caseKey)
{
    return caseNumber.empty() ? caseKey : caseNumber;
}

std::string CaseWorkerText(const std::string &firstName, const std::string &lastName)
{
    return firstName + " " + lastName;
}

std::string AwardedCaseWorkerText(const std::string &title, const std::string &firstName,
                                  const std::string &middleName, const std::string &lastName)
{
    std::string text = title.empty() ? std::string() : title + " ";
    text += firstName;
    if (!middleName.empty())
        text += " " + middleName;
    return text + " " + lastName;
}

std::string PatientNameText(const std::string &firstName, const std::string &middleName,
                            const std::string &lastName)
{
    std::string text = firstName;
    if (!middleName.empty())
        text += " " + middleName;
    return text + " " + lastName;
}

std::string CodeLineSpoken(const cCodeItem &item)
{
    if (item.Code.empty() || item.Description.empty())
        return item.Code + item.Description;
    return item.Code + ", " + item.Description;
}
