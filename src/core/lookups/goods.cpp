#include "core/lookups/goods.h"

#include "core/lookups/open_or.h"

namespace servicelib {

bool IfBarcodeExist(store::Database& db, const std::string& barcode) {
  return db.HasRow("select 1 from goodsmaster where barcode = ?", barcode);
}
bool IfBarcodeExist(const std::string& barcode) {
  return OpenOr(false, [&](auto& db) { return IfBarcodeExist(db, barcode); });
}

bool IfScaleGoods(store::Database& db, const std::string& barcode) {
  return db.HasRow("select 1 from goodsmaster where barcode = ? and isscalegoods = '是'", barcode);
}
bool IfScaleGoods(const std::string& barcode) {
  return OpenOr(false, [&](auto& db) { return IfScaleGoods(db, barcode); });
}

bool IfCombinedGoods(store::Database& db, const std::string& barcode) {
  return db.HasRow("select 1 from goodsmaster where barcode = ? and iscombined = '是'", barcode);
}
bool IfCombinedGoods(const std::string& barcode) {
  return OpenOr(false, [&](auto& db) { return IfCombinedGoods(db, barcode); });
}

bool IsGoodsGivePoints(store::Database& db, const std::string& barcode) {
  // Goods from before the points flag existed earn points, as the upgrade sets them.
  return db.HasRow("select 1 from goodsmaster where barcode = ? and ifnull(givepoints,1) <> 0",
                   barcode);
}
bool IsGoodsGivePoints(const std::string& barcode) {
  return OpenOr(false, [&](auto& db) { return IsGoodsGivePoints(db, barcode); });
}

double GetSalesPrice(store::Database& db, const std::string& barcode) {
  return db.QueryDouble("select salesprice from goodsmaster where barcode = ?", barcode)
      .value_or(0.0);
}
double GetSalesPrice(const std::string& barcode) {
  return OpenOr(0.0, [&](auto& db) { return GetSalesPrice(db, barcode); });
}

GoodsSaleFactsReader::GoodsSaleFactsReader(store::Database& db)
    // The same rules as GetSalesPrice, IfCombinedGoods and IsGoodsGivePoints above.
    : statement_(db.Query("select salesprice, iscombined = '是', ifnull(givepoints,1) <> 0 "
                          "from goodsmaster where barcode = ?")) {}

GoodsSaleFacts GoodsSaleFactsReader::Read(const std::string& barcode) {
  statement_.Reset();
  statement_.Bind(1, barcode);
  GoodsSaleFacts facts;
  if (statement_.Step()) {
    facts = {statement_.Double(0), statement_.Int(1) != 0, statement_.Int(2) != 0};
  }
  statement_.Reset();
  return facts;
}

double GetMemberPrice(store::Database& db, const std::string& barcode) {
  return db.QueryDouble("select memberprice from goodsmaster where barcode = ?", barcode)
      .value_or(0.0);
}
double GetMemberPrice(const std::string& barcode) {
  return OpenOr(0.0, [&](auto& db) { return GetMemberPrice(db, barcode); });
}

std::optional<GoodsInfo> GetGoodsInfoFromBarcode(store::Database& db, const std::string& barcode) {
  store::Statement row = db.Query(
      "select goodsname,unit,salesprice,memberprice from goodsmaster where barcode = ?", barcode);
  if (!row.Step()) return std::nullopt;
  return GoodsInfo{row.Text(0), row.Text(1), row.Double(2), row.Double(3)};
}
std::optional<GoodsInfo> GetGoodsInfoFromBarcode(const std::string& barcode) {
  return OpenOr<std::optional<GoodsInfo>>(
      std::nullopt, [&](auto& db) { return GetGoodsInfoFromBarcode(db, barcode); });
}

std::string GetGoodsnameFromBarcode(store::Database& db, const std::string& barcode) {
  return db.QueryText("select goodsname from goodsmaster where barcode = ?", barcode).value_or("");
}
std::string GetGoodsnameFromBarcode(const std::string& barcode) {
  return OpenOr<std::string>("", [&](auto& db) { return GetGoodsnameFromBarcode(db, barcode); });
}

std::string GetBarcodeFromGoodsName(store::Database& db, const std::string& name) {
  return db
      .QueryText("select barcode from goodsmaster where goodsname = ? order by rowid limit 1", name)
      .value_or("");
}
std::string GetBarcodeFromGoodsName(const std::string& name) {
  return OpenOr<std::string>("", [&](auto& db) { return GetBarcodeFromGoodsName(db, name); });
}

}  // namespace servicelib
