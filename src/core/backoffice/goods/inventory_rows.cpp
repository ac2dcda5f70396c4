#include "core/backoffice/goods/inventory_rows.h"

namespace backoffice {
namespace {

std::size_t CountRows(store::Database& db) {
  return static_cast<std::size_t>(db.QueryInt("select count(*) from inventory").value_or(0));
}

}  // namespace

InventoryRows::InventoryRows(store::Database& db) {
  rows_.reserve(CountRows(db));
  store::Statement statement =
      db.Query("select rowid,barcode,ifnull(quantity,0) from inventory order by rowid");
  while (statement.Step()) {
    rows_.push_back({statement.Text(1), statement.Int(0), statement.Double(2)});
  }
}

const InventoryRow* InventoryRows::Find(const std::string& barcode) {
  if (next_ < rows_.size() && rows_[next_].barcode == barcode) return &rows_[next_++];
  if (index_.empty()) {
    index_.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) index_.try_emplace(rows_[i].barcode, i);
  }
  const auto found = index_.find(barcode);
  if (found == index_.end()) return nullptr;
  next_ = found->second + 1;
  return &rows_[found->second];
}

InventoryByBarcode ReadInventoryRowids(store::Database& db) {
  InventoryByBarcode stock;
  stock.rowids.reserve(CountRows(db));
  store::Statement statement = db.Query("select rowid,barcode from inventory");
  while (statement.Step()) {
    auto [found, added] = stock.rowids.try_emplace(statement.Text(1), statement.Int(0));
    if (!added) ++stock.duplicated[found->first];
  }
  for (const auto& [barcode, extra] : stock.duplicated) stock.rowids.erase(barcode);
  return stock;
}

}  // namespace backoffice
