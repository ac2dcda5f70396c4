#pragma once

// The service library's settings getters (the management row, read anew at every call). Functions
// that take a store::Database run on the caller's open connection, so an operation opens kasso.db
// once; the forms without it open and close the file themselves and answer the "nothing found"
// value (false, 0, "") when it cannot be read.

#include <string>

#include "core/store/database.h"

namespace servicelib {

std::string GetComScaleSign(store::Database& db);
std::string GetComScaleSign();
std::string GetScaleFrontSign(store::Database& db);
std::string GetScaleFrontSign();
int GetWipeSettings(store::Database& db);
int GetWipeSettings();
int GetBaseValue(store::Database& db);
int GetBaseValue();
int GetPointsValue(store::Database& db);
int GetPointsValue();
std::string GetPriceForCost(store::Database& db);
std::string GetPriceForCost();
// Name of the spreadsheet reader the imports use (the built-in one); never empty.
std::string GetExcelDriver();

}  // namespace servicelib
