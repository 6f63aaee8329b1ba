// The demo content of a new or reset data folder: the provider "Bayview Care Center" with its
// staff, two hospitals with fifteen cases whose needs cover every quote state, codes, health
// details, insurance types, the service categories and zip codes.
#pragma once

#include "server/Store.h"

#include <string>

constexpr const char *DemoProviderName = "Bayview Care Center";
constexpr const char *DemoAdminEmail = "admin@bayview.example";
constexpr const char *DemoAdminPassword = "demo1234";

// Fills an empty store in one transaction. False with `error`.
bool FillDemoData(cStore &store, std::string &error);
// Seq of the demo provider, 0 when absent.
long long DemoProviderSeq(cStore &store);
