#include "core/lookups/bills.h"

namespace lookups {
namespace {

// The work table of each kind of open bill; names come from here, never from input.
const char* WorkTable(const std::string& kind) {
  if (kind == "进货") return "import";
  if (kind == "返厂") return "return";
  if (kind == "盘点") return "invcount";
  return nullptr;
}

bool TableHasRows(store::Database& db, const char* table) {
  return db.HasRow(std::string("select 1 from ") + table + " limit 1");
}

}  // namespace

bool HasOpenPurchaseBill(store::Database& db) { return TableHasRows(db, "import"); }

bool HasOpenReturnBill(store::Database& db) { return TableHasRows(db, "return"); }

bool HasUnverifiedLines(store::Database& db, const std::string& kind) {
  const char* table = WorkTable(kind);
  return table != nullptr && TableHasRows(db, table);
}

}  // namespace lookups
