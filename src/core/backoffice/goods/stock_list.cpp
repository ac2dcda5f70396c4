#include "core/backoffice/goods/stock_list.h"

#include <cmath>

#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/inventory_rows.h"
#include "core/lookups/numbers.h"
#include "core/settings/settings.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

// The goods' columns for each cost basis and filter; only these fixed texts reach SQLite.
constexpr const char* kByAverage =
    "select barcode,goodsname,unit,class,ifnull(averageimportprice,0) from goodsmaster";
constexpr const char* kByRecent =
    "select barcode,goodsname,unit,class,ifnull(importprice,0) from goodsmaster";
constexpr const char* kClassFilter = " where class = ?";
constexpr const char* kOrder = " order by rowid";

}  // namespace

StockList LoadStockList(const std::optional<std::string>& class_name) {
  store::Database db;
  PrepareBulkConnection(db);
  store::ReadTransaction reading(db);
  // A goods with two stock rows shows the first, as the goods list does; one without
  // counts 0.
  InventoryRows stock(db);
  const bool by_average =
      settings::LoadSettings(db).cost_basis == settings::CostBasis::kAveragePrice;
  std::string sql = by_average ? kByAverage : kByRecent;
  if (class_name) sql += kClassFilter;
  sql += kOrder;
  store::Statement statement(db.handle(), sql);
  if (class_name) statement.Bind(1, *class_name);
  StockList list;
  double total_fen = 0;  // whole fen: exact far beyond any shop's stock value
  while (statement.Step()) {
    StockRow& row = list.rows.emplace_back();
    row.barcode = statement.Text(0);
    row.goodsname = statement.Text(1);
    row.unit = statement.Text(2);
    row.class_name = statement.Text(3);
    const InventoryRow* found = stock.Find(row.barcode);
    row.quantity = found ? found->quantity : 0;
    // Each value to the fen, as the list shows it, and the total added up from those in whole
    // fen: the total is the sum of the amounts shown, however many rows there are.
    row.cost = lookups::RoundTo(statement.Double(4) * row.quantity, 2);
    list.total_quantity += row.quantity;
    total_fen += std::round(row.cost * 100);
  }
  list.total_cost = total_fen / 100;
  return list;
}

}  // namespace backoffice
