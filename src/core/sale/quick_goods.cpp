#include "core/sale/quick_goods.h"

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/numbers.h"
#include "core/store/yes_no.h"

namespace sale {
namespace {

// A price the cashier typed: a plain decimal of at least 0 that a till can hold, to the fen.
std::optional<double> ReadPrice(const std::string& text) {
  std::optional<double> typed = lookups::ReadTypedNumber(text, lookups::TillNumber::kAmount);
  if (!typed) return std::nullopt;
  double price = lookups::RoundTo(*typed, 2);
  if (price < 0) return std::nullopt;
  return price;
}

}  // namespace

QuickGoods SuggestQuickGoods(store::Database& db, const std::string& barcode,
                             bool use_item_library) {
  QuickGoods goods{barcode, "", ""};
  if (!use_item_library) return goods;
  try {
    auto name = db.QueryText("select goodsname from itemlibrary where barcode = ?", barcode);
    if (name) goods.goodsname = *name;
  } catch (const store::DbError&) {
    // An unreadable item library leaves the plain name.
  }
  return goods;
}

void CheckQuickGoods(const QuickGoods& goods) {
  if (kasso::Trim(goods.goodsname).empty()) throw kasso::ValidationError("名称不能为空", "name");
  if (kasso::Trim(goods.price).empty()) throw kasso::ValidationError("价格不能为空", "price");
  if (!ReadPrice(goods.price)) {
    throw kasso::ValidationError(std::string(kQuickGoodsSaveFailed), "price");
  }
}

void SaveQuickGoods(store::Database& db, const QuickGoods& goods) {
  CheckQuickGoods(goods);
  const double price = *ReadPrice(goods.price);
  try {
    store::Transaction tx(db);
    db.Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,recordingdate,isscalegoods,pluno,iniinventory) "
        "values (?,?,'个','未分类',?,?,0,?,?,0,0)",
        goods.barcode, goods.goodsname, price, price, kasso::NowText(), store::ToYesNo(false));
    // A stock row left behind by a deleted goods item of the same barcode is kept, so
    // that the barcode never ends up with two stock rows.
    db.Exec(
        "insert into inventory (barcode,quantity) select ?,0 "
        "where not exists (select 1 from inventory where barcode = ?)",
        goods.barcode, goods.barcode);
    tx.Commit();
  } catch (const store::DbError&) {
    throw kasso::UserError(std::string(kQuickGoodsSaveFailed));
  }
}

bool EnterQuickGoods(store::Database& db, const std::string& barcode, bool use_item_library,
                     SaleUi& ui) {
  QuickGoods shown = SuggestQuickGoods(db, barcode, use_item_library);
  while (std::optional<QuickGoods> typed = ui.EnterQuickGoods(shown)) {
    typed->barcode = barcode;  // the entry is for this barcode only
    try {
      SaveQuickGoods(db, *typed);
      return true;
    } catch (const kasso::UserError& error) {
      ui.Message(error.what());
      shown = *typed;
    }
  }
  return false;
}

double CheckPriceEntry(const std::string& text) {
  if (kasso::Trim(text).empty()) throw kasso::ValidationError("请录入价格", "price");
  std::optional<double> price = ReadPrice(text);
  if (!price) throw kasso::ValidationError("价格有误", "price");
  return *price;
}

}  // namespace sale
