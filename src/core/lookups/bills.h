#pragma once

// Look-ups of the open back-office bills (purchase, return, stocktake) in their work tables.

#include <string>

#include "core/store/database.h"

namespace lookups {

// True when a purchase (return) bill waits for verification.
bool HasOpenPurchaseBill(store::Database& db);
bool HasOpenReturnBill(store::Database& db);
// True when the open bill of that kind ("进货", "返厂", "盘点") has lines; false for any other
// kind.
bool HasUnverifiedLines(store::Database& db, const std::string& kind);

}  // namespace lookups
