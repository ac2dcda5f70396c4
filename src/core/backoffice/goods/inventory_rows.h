#pragma once

// Every stock row read at once, for the operations that touch the stock of every goods (the
// stock list, generating and verifying a stocktake). Joining 200 000 goods to their stock rows
// one index look-up at a time costs several times more than reading the table once.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/store/database.h"

namespace backoffice {

struct InventoryRow {
  std::string barcode;
  std::int64_t rowid = 0;
  double quantity = 0;  // NULL reads as 0
};

// The stock rows in the order they are stored, found by barcode. A goods and its stock row are
// written together, so goods asked for in the order they were entered are mostly found at the
// next place; any other barcode is looked up in an index built at the first miss.
class InventoryRows {
 public:
  // Throws store::DbError.
  explicit InventoryRows(store::Database& db);

  // The stock row of the barcode (the first, should there be two); nullptr when it has none.
  const InventoryRow* Find(const std::string& barcode);

 private:
  std::vector<InventoryRow> rows_;
  std::size_t next_ = 0;
  std::unordered_map<std::string_view, std::size_t> index_;
};

// For changing stock rows by rowid: the barcodes with exactly one stock row, and apart those
// with more than one (which must be changed by barcode). Throws store::DbError.
struct InventoryByBarcode {
  std::unordered_map<std::string, std::int64_t> rowids;
  std::unordered_map<std::string, int> duplicated;
};
InventoryByBarcode ReadInventoryRowids(store::Database& db);

}  // namespace backoffice
