#include "core/lookups/goods.h"

#include "core/store/yes_no.h"

namespace lookups {

bool HasGoods(store::Database& db, const std::string& barcode) {
  return db.HasRow("select 1 from goodsmaster where barcode = ?", barcode);
}

bool IsScaleGoods(store::Database& db, const std::string& barcode) {
  return store::YesNo(
      db.QueryText("select isscalegoods from goodsmaster where barcode = ?", barcode).value_or(""));
}

bool IsCombinedGoods(store::Database& db, const std::string& barcode) {
  return store::YesNo(
      db.QueryText("select iscombined from goodsmaster where barcode = ?", barcode).value_or(""));
}

bool GoodsEarnPoints(store::Database& db, const std::string& barcode) {
  // Goods from before the points flag existed earn points, as the upgrade sets them.
  return db.HasRow("select 1 from goodsmaster where barcode = ? and ifnull(givepoints,1) <> 0",
                   barcode);
}

double SalesPrice(store::Database& db, const std::string& barcode) {
  return db.QueryDouble("select salesprice from goodsmaster where barcode = ?", barcode)
      .value_or(0.0);
}

GoodsSaleFactsReader::GoodsSaleFactsReader(store::Database& db)
    // The same rules as SalesPrice, IsCombinedGoods and GoodsEarnPoints above.
    : statement_(db.Query("select salesprice, iscombined, ifnull(givepoints,1) <> 0 "
                          "from goodsmaster where barcode = ?")) {}

GoodsSaleFacts GoodsSaleFactsReader::Read(const std::string& barcode) {
  statement_.Reset();
  statement_.Bind(1, barcode);
  GoodsSaleFacts facts;
  if (statement_.Step()) {
    facts = {statement_.Double(0), store::YesNo(statement_.Text(1)), statement_.Int(2) != 0};
  }
  statement_.Reset();
  return facts;
}

double MemberPrice(store::Database& db, const std::string& barcode) {
  return db.QueryDouble("select memberprice from goodsmaster where barcode = ?", barcode)
      .value_or(0.0);
}

std::optional<GoodsInfo> FindGoods(store::Database& db, const std::string& barcode) {
  store::Statement row = db.Query(
      "select goodsname,unit,salesprice,memberprice from goodsmaster where barcode = ?", barcode);
  if (!row.Step()) return std::nullopt;
  return GoodsInfo{row.Text(0), row.Text(1), row.Double(2), row.Double(3)};
}

std::string GoodsName(store::Database& db, const std::string& barcode) {
  return db.QueryText("select goodsname from goodsmaster where barcode = ?", barcode).value_or("");
}

std::string BarcodeOfGoodsName(store::Database& db, const std::string& name) {
  return db
      .QueryText("select barcode from goodsmaster where goodsname = ? order by rowid limit 1", name)
      .value_or("");
}

}  // namespace lookups
