// Lines of the records that the client keeps whole, as the record read returns them: line n holds
// field n. The signed-in user's "Personnel" record and the provider's "ProviderEntities" record.
#pragma once

// "Personnel".
inline constexpr int PersonnelKeyLine = 1;
inline constexpr int PersonnelProviderLine = 9;
inline constexpr int PersonnelTitleLine = 10;
inline constexpr int PersonnelFirstNameLine = 11;
inline constexpr int PersonnelLastNameLine = 13;
inline constexpr int PersonnelEmailLine = 22;
inline constexpr int PersonnelPasswordLine = 23;
inline constexpr int PersonnelAdminLine = 26;

// "ProviderEntities".
inline constexpr int CompanyNameLine = 10;
inline constexpr int CompanyZipLine = 15;
