#include "core/backoffice/goods/save_goods.h"

#include <cmath>
#include <cstdint>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using kasso::Trim;
using kasso::ValidationError;
using servicelib::NumericalCheck;
using servicelib::rounddigits;

// The fields after the checks, with their defaults filled and numbers read.
struct CheckedGoods {
  GoodsFields text;
  std::int64_t pluno = 0;
  double iniinventory = 0;
  double salesprice = 0;
  double memberprice = 0;
  double importprice = 0;
};

std::string OrZero(const std::string& text) { return text.empty() ? "0" : text; }

// A whole number as NumericalCheck reads it ("12", "+3", "-1", "7.", "7.0").
bool IsWholeNumber(const std::string& text) {
  if (!NumericalCheck(text)) return false;
  const double value = kasso::ParseNumber(text);
  return value == std::trunc(value);
}

CheckedGoods Check(const GoodsFields& fields, GoodsSaveUi& ui) {
  CheckedGoods goods;
  GoodsFields& f = goods.text;
  f = fields;
  f.barcode = Trim(f.barcode);
  f.goodsname = Trim(f.goodsname);
  f.unit = Trim(f.unit);
  f.class_name = Trim(f.class_name);
  f.pluno = Trim(f.pluno);
  f.iniinventory = Trim(f.iniinventory);
  f.salesprice = Trim(f.salesprice);
  f.memberprice = Trim(f.memberprice);
  f.importprice = Trim(f.importprice);

  // A PLU number counts scale keys: "1.5" would be stored as 1, so only whole numbers pass.
  f.pluno = OrZero(f.pluno);
  if (!IsWholeNumber(f.pluno)) throw ValidationError("PLU编号有误", "pluno");
  goods.pluno = static_cast<std::int64_t>(kasso::ParseNumber(f.pluno));
  if (f.barcode.empty()) throw ValidationError("条码不能为空", "barcode");
  if (f.goodsname.empty()) throw ValidationError("商品名称不能为空", "goodsname");
  if (f.unit.empty()) f.unit = "个";
  if (f.class_name.empty()) f.class_name = "未分类";
  if (f.isscalegoods == kYes) {
    if (goods.pluno <= 0) throw ValidationError("称重商品编号必须>0", "pluno");
    if (f.iscombined == kYes) throw ValidationError("称重商品不能是组合商品", "iscombined");
  }
  f.iniinventory = OrZero(f.iniinventory);
  if (!NumericalCheck(f.iniinventory)) throw ValidationError("期初库存录入有误", "iniinventory");
  goods.iniinventory = kasso::ParseNumber(f.iniinventory);

  // Prices that are not numbers are refused before their 0 note, so "abc" is never stored as 0.
  f.salesprice = OrZero(f.salesprice);
  if (!NumericalCheck(f.salesprice)) throw ValidationError("售价录入有误", "salesprice");
  goods.salesprice = rounddigits(kasso::ParseNumber(f.salesprice), 2);
  if (goods.salesprice == 0) ui.Note("售价为0或不录入表示售价在销售时录入");

  f.memberprice = OrZero(f.memberprice);
  if (!NumericalCheck(f.memberprice)) throw ValidationError("会员价录入有误", "memberprice");
  if (rounddigits(kasso::ParseNumber(f.memberprice), 2) == 0) {
    ui.Note("会员价为0或不录入表示会员价与售价相同");
    f.memberprice = f.salesprice;
  }
  goods.memberprice = rounddigits(kasso::ParseNumber(f.memberprice), 2);

  f.importprice = OrZero(f.importprice);
  if (!NumericalCheck(f.importprice)) throw ValidationError("进价录入有误", "importprice");
  goods.importprice = rounddigits(kasso::ParseNumber(f.importprice), 2);
  return goods;
}

void CheckComponents(store::Database& db, const CheckedGoods& goods) {
  if (goods.text.iscombined != kYes) return;
  if (db.QueryInt("select count(*) from combinedgoodstemp").value_or(0) == 0) {
    throw ValidationError("组合商品必须录入下线商品", kComponentsField);
  }
  // The work table may hold components entered before the barcode was changed.
  if (db.HasRow("select 1 from combinedgoodstemp where underlyingcode = ?", goods.text.barcode)) {
    throw ValidationError("组合商品的下线商品不能是自己", kComponentsField);
  }
}

void Update(store::Database& db, const CheckedGoods& goods) {
  const GoodsFields& f = goods.text;
  db.Exec(
      "update goodsmaster set goodsname = ?,unit = ?,class = ?,salesprice = ?,importprice = ?,"
      "isscalegoods = ?,pluno = ?,memberprice = ?,givepoints = ?,iscombined = ? "
      "where barcode = ?",
      f.goodsname, f.unit, f.class_name, goods.salesprice, goods.importprice, f.isscalegoods,
      goods.pluno, goods.memberprice, f.givepoints ? 1 : 0, f.iscombined, f.barcode);
}

void Insert(store::Database& db, const CheckedGoods& goods) {
  const GoodsFields& f = goods.text;
  db.Exec(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,importprice,"
      "recordingdate,isscalegoods,pluno,iniinventory,memberprice,givepoints,averageimportprice,"
      "iscombined) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
      f.barcode, f.goodsname, f.unit, f.class_name, goods.salesprice, goods.importprice,
      kasso::NowText(), f.isscalegoods, goods.pluno, goods.iniinventory, goods.memberprice,
      f.givepoints ? 1 : 0, goods.importprice > 0 ? goods.importprice : 0.0, f.iscombined);
  // A stock row left over from older data would make two rows for one goods.
  db.Exec("delete from inventory where barcode = ?", f.barcode);
  db.Exec("insert into inventory (barcode,quantity) values (?,?)", f.barcode, goods.iniinventory);
}

void WriteComponents(store::Database& db, const CheckedGoods& goods) {
  if (goods.text.iscombined == kYes) {
    db.Exec("delete from combinedgoods where barcode = ?", goods.text.barcode);
    db.Exec(
        "insert into combinedgoods (barcode,underlyingcode,quantity) select ?,underlyingcode,"
        "quantity from combinedgoodstemp",
        goods.text.barcode);
  }
  db.Exec("delete from combinedgoodstemp");
}

}  // namespace

GoodsSaved SaveGoods(const GoodsFields& fields, bool use_item_library, GoodsSaveUi& ui) {
  CheckedGoods goods = Check(fields, ui);
  GoodsSaved saved;
  try {
    store::Database db;
    CheckComponents(db, goods);
    store::Transaction tx(db);
    db.Exec("update management set useitemlibrary = ?", use_item_library ? kYes : kNo);
    if (!db.HasRow("select 1 from goodsmaster where class = ?", goods.text.class_name)) {
      saved.new_class = goods.text.class_name;
    }
    saved.updated = db.HasRow("select 1 from goodsmaster where barcode = ?", goods.text.barcode);
    if (saved.updated) {
      Update(db, goods);
    } else {
      Insert(db, goods);
    }
    WriteComponents(db, goods);
    tx.Commit();
  } catch (const store::DbError&) {
    throw kasso::UserError("商品保存有误，请确认录入信息");
  }
  return saved;
}

}  // namespace backoffice
