// Lines of the records that the client reads whole, as the record read returns them: line n holds
// field n. The signed-in user's "Personnel" record, the provider's "ProviderEntities" record and
// the "ZipCodes" record of its zip code.
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
inline constexpr int CompanyNotifyEmailLine = 21;

// "ZipCodes": the two values that new service category links carry.
inline constexpr int ZipLatitudeLine = 11;
inline constexpr int ZipLongitudeLine = 12;
