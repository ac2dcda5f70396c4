#include "core/labels/batch_select.h"

#include <cmath>
#include <limits>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/numbers.h"

namespace labels {

std::vector<GoodsRow> ListGoodsOfClass(store::Database& db, const std::string& classname) {
  const bool all = classname == kAllClasses;
  store::Statement rows =
      all ? db.Query("select barcode,goodsname,unit,class from goodsmaster order by rowid")
          : db.Query(
                "select barcode,goodsname,unit,class from goodsmaster where class = ? "
                "order by rowid",
                classname);
  std::vector<GoodsRow> goods;
  while (rows.Step()) {
    goods.push_back({rows.Text(0), rows.Text(1), rows.Text(2), rows.Text(3)});
  }
  return goods;
}

std::vector<BatchLine> ListBatch(store::Database& db) {
  store::Statement rows = db.Query(
      "select b.barcode,g.goodsname,g.unit,g.class,b.quantity,g.salesprice "
      "from goodsbatchselect b left join goodsmaster g on g.barcode = b.barcode "
      "order by b.rowid");
  std::vector<BatchLine> lines;
  while (rows.Step()) {
    lines.push_back({rows.Text(0), rows.Text(1), rows.Text(2), rows.Text(3),
                     static_cast<int>(rows.Int(4)), rows.Double(5)});
  }
  return lines;
}

int AddToBatch(store::Database& db, const std::vector<std::string>& barcodes) {
  if (barcodes.empty()) throw kasso::UserError("请选择要打印的商品");
  store::Transaction tx(db);
  store::Statement insert = db.Query(
      "insert into goodsbatchselect (barcode,quantity) select ?,1 "
      "where not exists (select 1 from goodsbatchselect where barcode = ?)");
  int added = 0;
  for (const std::string& barcode : barcodes) {
    insert.Reset();
    insert.BindAll(barcode, barcode);
    insert.Run();
    added += sqlite3_changes(db.handle());
  }
  tx.Commit();
  return added;
}

void SetBatchQuantity(store::Database& db, const std::string& barcode, int quantity) {
  db.Exec("update goodsbatchselect set quantity = ? where barcode = ?", quantity, barcode);
}

void RemoveFromBatch(store::Database& db, const std::string& barcode) {
  db.Exec("delete from goodsbatchselect where barcode = ?", barcode);
}

int CheckLabelCount(const std::string& text) {
  const std::string typed = kasso::Trim(text);
  if (typed.empty()) throw kasso::UserError("请录入数量");
  if (!lookups::IsPlainNumber(typed)) throw kasso::UserError("数量录入有误");
  const double whole = std::trunc(kasso::ParseNumber(typed));
  if (whole < 1) throw kasso::UserError("数量必须大于0");
  // More labels than an int holds is a typing slip as much as 0 is.
  if (whole > std::numeric_limits<int>::max()) throw kasso::UserError("数量录入有误");
  return static_cast<int>(whole);
}

}  // namespace labels
