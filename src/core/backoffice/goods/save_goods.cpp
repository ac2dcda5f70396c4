#include "core/backoffice/goods/save_goods.h"

#include "core/backoffice/goods/goods_checks.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/settings/settings.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using kasso::ValidationError;

void CheckComponents(store::Database& db, const ValidGoods& goods) {
  if (goods.text.iscombined != kYes) return;
  if (db.QueryInt("select count(*) from combinedgoodstemp").value_or(0) == 0) {
    throw ValidationError("组合商品必须录入下线商品", kComponentsField);
  }
  // The work table may hold components entered before the barcode was changed.
  if (db.HasRow("select 1 from combinedgoodstemp where underlyingcode = ?", goods.text.barcode)) {
    throw ValidationError("组合商品的下线商品不能是自己", kComponentsField);
  }
}

void Update(store::Database& db, const ValidGoods& goods) {
  const GoodsFields& f = goods.text;
  db.Exec(
      "update goodsmaster set goodsname = ?,unit = ?,class = ?,salesprice = ?,importprice = ?,"
      "isscalegoods = ?,pluno = ?,memberprice = ?,givepoints = ?,iscombined = ? "
      "where barcode = ?",
      f.goodsname, f.unit, f.class_name, goods.salesprice, goods.importprice, f.isscalegoods,
      goods.pluno, goods.memberprice, f.givepoints ? 1 : 0, f.iscombined, f.barcode);
}

void Insert(store::Database& db, const ValidGoods& goods) {
  const GoodsFields& f = goods.text;
  db.Exec(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,importprice,"
      "recordingdate,isscalegoods,pluno,iniinventory,memberprice,givepoints,averageimportprice,"
      "iscombined) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
      f.barcode, f.goodsname, f.unit, f.class_name, goods.salesprice, goods.importprice,
      kasso::NowText(), f.isscalegoods, goods.pluno, goods.iniinventory, goods.memberprice,
      f.givepoints ? 1 : 0, goods.averageimportprice, f.iscombined);
  // A stock row left over from older data would make two rows for one goods.
  db.Exec("delete from inventory where barcode = ?", f.barcode);
  db.Exec("insert into inventory (barcode,quantity) values (?,?)", f.barcode, goods.iniinventory);
}

void WriteComponents(store::Database& db, const ValidGoods& goods) {
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

GoodsSaved SaveGoods(const GoodsFields& fields, const std::string& shown_barcode,
                     bool use_item_library, GoodsSaveUi& ui) {
  const ValidGoods goods = ValidateGoods(fields, GoodsSource::kEditor);
  GoodsSaved saved;
  try {
    store::Database db;
    // In add mode a stored barcode typed without Enter would silently replace that goods.
    if (goods.text.barcode != kasso::Trim(shown_barcode) &&
        db.HasRow("select 1 from goodsmaster where barcode = ?", goods.text.barcode) &&
        !ui.AskYesNo(kReplaceQuestion)) {
      saved.written = false;
      return saved;
    }
    CheckComponents(db, goods);
    if (goods.salesprice == 0) ui.Note("售价为0或不录入表示售价在销售时录入");
    if (goods.member_price_follows) ui.Note("会员价为0或不录入表示会员价与售价相同");
    store::Transaction tx(db);
    settings::SaveItemLibrary(db, use_item_library);
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
