#include "core/lookups/bills.h"

#include "core/lookups/open_or.h"

namespace servicelib {
namespace {

// The work table of each kind of open bill; names come from here, never from input.
const char* WorkTable(const std::string& kind) {
  if (kind == "进货") return "import";
  if (kind == "返厂") return "return";
  if (kind == "盘点") return "invcount";
  return nullptr;
}

bool TableHasRows(const char* table) {
  // An unreadable file is reported as "has lines": better to stop a stocktake than to let it
  // run over a bill nobody could check.
  return OpenOr(true, [&](auto& db) {
    return db.HasRow(std::string("select 1 from ") + table + " limit 1");
  });
}

}  // namespace

bool ImportListCheck() { return !TableHasRows("import"); }

bool ReturnListCheck() { return !TableHasRows("return"); }

bool IfUnConfirmedData(const std::string& kind) {
  const char* table = WorkTable(kind);
  return table != nullptr && TableHasRows(table);
}

}  // namespace servicelib
