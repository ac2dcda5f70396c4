#include "core/backoffice/goods/stock_list.h"

#include "core/lookups/settings.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

// The statement for each cost basis and filter; only these fixed texts reach SQLite.
constexpr const char* kByAverage =
    "select a.barcode,a.goodsname,a.unit,a.class,ifnull(b.quantity,0),"
    "ifnull(a.averageimportprice,0)*ifnull(b.quantity,0) from goodsmaster a left join inventory b "
    "on (a.barcode = b.barcode)";
constexpr const char* kByRecent =
    "select a.barcode,a.goodsname,a.unit,a.class,ifnull(b.quantity,0),"
    "ifnull(a.importprice,0)*ifnull(b.quantity,0) from goodsmaster a left join inventory b "
    "on (a.barcode = b.barcode)";
constexpr const char* kClassFilter = " where a.class = ?";
constexpr const char* kOrder = " order by a.rowid";

}  // namespace

StockList LoadStockList(const std::optional<std::string>& class_name) {
  store::Database db;
  store::ReadTransaction reading(db);
  const bool by_average = servicelib::GetPriceForCost(db) == "averageprice";
  std::string sql = by_average ? kByAverage : kByRecent;
  if (class_name) sql += kClassFilter;
  sql += kOrder;
  store::Statement statement(db.handle(), sql);
  if (class_name) statement.Bind(1, *class_name);
  StockList list;
  if (!class_name) {
    list.rows.reserve(
        static_cast<size_t>(db.QueryInt("select count(*) from goodsmaster").value_or(0)));
  }
  while (statement.Step()) {
    StockRow& row = list.rows.emplace_back();
    row.barcode = statement.Text(0);
    row.goodsname = statement.Text(1);
    row.unit = statement.Text(2);
    row.class_name = statement.Text(3);
    row.quantity = statement.Double(4);
    row.cost = statement.Double(5);
    list.total_quantity += row.quantity;
    list.total_cost += row.cost;
  }
  return list;
}

}  // namespace backoffice
