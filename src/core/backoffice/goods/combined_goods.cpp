#include "core/backoffice/goods/combined_goods.h"

#include "core/backoffice/goods/goods_master.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/goods.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"
#include "core/store/yes_no.h"

namespace backoffice {

std::vector<ComponentRow> LoadComponents() {
  store::Database db;
  store::Statement statement = db.Query(
      "select a.underlyingcode,b.goodsname,a.quantity from combinedgoodstemp a left join "
      "goodsmaster b on (a.underlyingcode = b.barcode)");
  std::vector<ComponentRow> rows;
  while (statement.Step()) {
    rows.push_back({statement.Text(0), statement.Text(1), statement.Double(2)});
  }
  return rows;
}

ComponentLine LoadComponent(const std::string& combined_barcode, const std::string& barcode) {
  const std::string code = kasso::Trim(barcode);
  if (code == kasso::Trim(combined_barcode)) throw kasso::UserError("组合商品下线不能是自己");
  store::Database db;
  ComponentLine line;
  {
    store::Statement goods =
        db.Query("select goodsname,iscombined from goodsmaster where barcode = ?", code);
    if (!goods.Step()) throw kasso::UserError("此商品不存在");
    if (store::YesNo(goods.Text(1))) throw kasso::UserError("组合商品下线不能是组合商品");
    line.goodsname = goods.Text(0);
  }
  if (auto quantity =
          db.QueryDouble("select quantity from combinedgoodstemp where underlyingcode = ?", code)) {
    line.quantity = QuantityText(*quantity);
  }
  return line;
}

void SaveComponent(const std::string& combined_barcode, const std::string& barcode,
                   const std::string& quantity) {
  const std::string code = kasso::Trim(barcode);
  const std::string amount = kasso::Trim(quantity);
  if (code.empty()) throw kasso::ValidationError("条码不能为空", "barcode");
  store::Database db;
  if (!lookups::HasGoods(db, code)) {
    throw kasso::ValidationError("此商品不存在", "barcode");
  }
  if (lookups::IsCombinedGoods(db, code)) {
    throw kasso::ValidationError("组合商品的下线商品不能是组合商品", "barcode");
  }
  if (code == kasso::Trim(combined_barcode)) {
    throw kasso::ValidationError("组合商品的下线商品不能是自己", "barcode");
  }
  if (!lookups::IsPlainNumber(amount) || kasso::ParseNumber(amount) <= 0) {
    throw kasso::ValidationError("数量必须大于0", "quantity");
  }
  const double value = kasso::ParseNumber(amount);
  store::Transaction tx(db);
  if (db.Exec("update combinedgoodstemp set quantity = ? where underlyingcode = ?", value, code) ==
      0) {
    db.Exec("insert into combinedgoodstemp (underlyingcode,quantity) values (?,?)", code, value);
  }
  tx.Commit();
}

void DeleteComponent(const std::string& barcode) {
  store::Database db;
  db.Exec("delete from combinedgoodstemp where underlyingcode = ?", barcode);
}

void CombinedGoodsClear() {
  store::Database db;
  db.Exec("delete from combinedgoodstemp");
}

}  // namespace backoffice
