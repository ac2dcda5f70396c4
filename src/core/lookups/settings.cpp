#include "core/lookups/settings.h"

#include "core/lookups/open_or.h"

namespace servicelib {
namespace {

// Column names come from this file only, never from input.
std::string SettingText(store::Database& db, const char* column) {
  return db.QueryText(std::string("select ") + column + " from management").value_or("");
}

int SettingInt(store::Database& db, const char* column, int fallback) {
  store::Statement row = db.Query(std::string("select ") + column + " from management");
  if (!row.Step() || row.IsNull(0)) return fallback;
  return static_cast<int>(row.Int(0));
}

}  // namespace

std::string GetComScaleSign(store::Database& db) { return SettingText(db, "usecomscale"); }
std::string GetComScaleSign() {
  return OpenOr<std::string>("否", [](auto& db) { return GetComScaleSign(db); });
}

std::string GetScaleFrontSign(store::Database& db) { return SettingText(db, "usescalefront"); }
std::string GetScaleFrontSign() {
  return OpenOr<std::string>("否", [](auto& db) { return GetScaleFrontSign(db); });
}

int GetWipeSettings(store::Database& db) { return SettingInt(db, "wipevalue", 2); }
int GetWipeSettings() {
  return OpenOr(2, [](auto& db) { return GetWipeSettings(db); });
}

int GetBaseValue(store::Database& db) { return SettingInt(db, "basevalue", 1); }
int GetBaseValue() {
  return OpenOr(1, [](auto& db) { return GetBaseValue(db); });
}

int GetPointsValue(store::Database& db) { return SettingInt(db, "pointsvalue", 1); }
int GetPointsValue() {
  return OpenOr(1, [](auto& db) { return GetPointsValue(db); });
}

std::string GetPriceForCost(store::Database& db) { return SettingText(db, "priceforcost"); }
std::string GetPriceForCost() {
  return OpenOr<std::string>("averageprice", [](auto& db) { return GetPriceForCost(db); });
}

// Spreadsheets are read and written by the libraries built into the till, so a reader is
// always there.
std::string GetExcelDriver() { return "内置表格读写"; }

}  // namespace servicelib
