#include "core/sale/stock_moves.h"

#include <utility>
#include <vector>

#include "core/lookups/numbers.h"

namespace sale {

StockMover::StockMover(store::Database& db)
    : db_(db),
      update_(db.Query("update inventory set quantity = ifnull(quantity,0) + ? where barcode = ?")),
      insert_(db.Query("insert into inventory (barcode,quantity) select ?1,?2 where exists "
                       "(select 1 from goodsmaster where barcode = ?1)")),
      components_(db.Query("select underlyingcode,quantity from combinedgoods where barcode = ?")) {
}

void StockMover::Move(const std::string& barcode, double change, bool combined) {
  if (!combined) {
    MoveRow(barcode, change);
    return;
  }
  // The components are read to the end before any row moves: the reading statement stays
  // out of the way of the updates.
  std::vector<std::pair<std::string, double>> parts;
  components_.Reset();
  components_.Bind(1, barcode);
  while (components_.Step()) parts.emplace_back(components_.Text(0), components_.Double(1));
  components_.Reset();
  using lookups::RoundTo;
  for (const auto& [component, per_unit] : parts) {
    MoveRow(component, RoundTo(per_unit * RoundTo(change, 2), 2));
  }
}

void StockMover::MoveRow(const std::string& barcode, double change) {
  update_.Reset();
  update_.BindAll(change, barcode);
  update_.Run();
  if (sqlite3_changes(db_.handle()) > 0) return;
  insert_.Reset();
  insert_.BindAll(barcode, change);
  insert_.Run();
}

}  // namespace sale
