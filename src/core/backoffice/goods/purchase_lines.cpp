#include <optional>
#include <string>
#include <vector>

#include "core/backoffice/goods/goods_master.h"
#include "core/backoffice/goods/purchase_bills.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/goods.h"
#include "core/lookups/numbers.h"
#include "core/sale/quick_goods.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using common::ValidationError;
using lookups::RoundTo;
using lookups::TillNumber;

double Fen(double value) { return RoundTo(value, 2); }

// A typed number within what the till keeps; nullopt for any other text, empty included.
std::optional<double> Number(const std::string& text, TillNumber kind) {
  return lookups::ReadTypedNumber(text, kind);
}

bool Blank(const std::string& text) { return common::Trim(text).empty(); }

// The quantity of a line: present, a number, to the fen. refusal_if_empty is the message when
// it was left empty.
double LineQuantity(const std::string& text, const char* refusal_if_empty) {
  if (Blank(text)) throw ValidationError(refusal_if_empty, "quantity");
  std::optional<double> quantity = Number(text, TillNumber::kQuantity);
  if (!quantity) throw ValidationError("数量录入有误", "quantity");
  return Fen(*quantity);
}

// amount ÷ quantity to the fen. A quantity of 0 gives no price at all, so it is refused.
double PriceFromAmount(double amount, double quantity) {
  if (quantity == 0) throw ValidationError("数量为0时不能由金额计算单价", "quantity");
  const double price = Fen(amount / quantity);
  if (!lookups::WithinTillRange(price, TillNumber::kAmount)) {
    throw ValidationError("单价有误", "price");
  }
  return price;
}

// A price or an amount below 0 would lower the goods' cost; it is refused naming its field.
void RefuseNegative(const std::optional<double>& price, const std::optional<double>& amount) {
  if (price && Fen(*price) < 0) throw ValidationError("单价不能小于0", "price");
  if (amount && Fen(*amount) < 0) throw ValidationError("金额不能小于0", "amount");
}

// Whether the price the user sees stays and the amount follows it: the price or the quantity
// was typed last.
bool PriceDecides(const BillLineFields& fields) {
  return fields.changed == LineChange::kPrice || fields.changed == LineChange::kQuantity;
}

// The price–amount rule of a save: the field that decides (LineChange) sets the other; when
// it is empty or 0, the other one decides.
SavedBillLine PriceAndAmount(const BillLineFields& fields, double quantity) {
  const std::optional<double> price = Number(fields.price, TillNumber::kAmount);
  const std::optional<double> amount = Number(fields.amount, TillNumber::kAmount);
  RefuseNegative(price, amount);
  const bool price_given = !Blank(fields.price) && !(price && Fen(*price) == 0);
  if (price_given && price && (PriceDecides(fields) || !(amount && Fen(*amount) != 0))) {
    return {quantity, Fen(*price), Fen(Fen(*price) * quantity)};
  }
  if (price_given && !price && Blank(fields.amount)) throw ValidationError("单价有误", "price");
  if (!price_given && Blank(fields.amount)) throw ValidationError("请录入金额", "amount");
  if (!amount) throw ValidationError("金额有误", "amount");
  if (Fen(*amount) == 0) throw ValidationError("请录入金额", "amount");
  return {quantity, PriceFromAmount(Fen(*amount), quantity), Fen(*amount)};
}

BillRow ReadRow(const store::Statement& statement) {
  return {statement.Text(0),   statement.Text(1),   statement.Text(2),
          statement.Double(3), statement.Double(4), statement.Double(5)};
}

std::vector<BillRow> ReadBill(const char* sql) {
  store::Database db;
  store::Statement statement = db.Query(sql);
  std::vector<BillRow> rows;
  while (statement.Step()) rows.push_back(ReadRow(statement));
  return rows;
}

}  // namespace

const char* BillKindName(BillKind kind) { return kind == BillKind::kPurchase ? "进货" : "返厂"; }

std::vector<BillRow> LoadPurchaseBill() {
  // The bill's own barcode, so a line whose goods was deleted can still be seen and removed.
  // Lines of older files may have no amount: theirs is quantity × price.
  return ReadBill(
      "select a.barcode,b.goodsname,b.unit,a.quantity,a.importprice,"
      "ifnull(a.importvalue,ifnull(a.quantity,0)*ifnull(a.importprice,0)) from import a "
      "left join goodsmaster b on (a.barcode = b.barcode) order by a.rowid");
}

std::vector<BillRow> LoadReturnBill() {
  return ReadBill(
      "select a.barcode,b.goodsname,b.unit,a.quantity,a.returnprice,"
      "ifnull(a.returnvalue,ifnull(a.quantity,0)*ifnull(a.returnprice,0)) from return a "
      "left join goodsmaster b on (a.barcode = b.barcode) order by a.rowid");
}

std::vector<BillRow> LoadBill(BillKind kind) {
  return kind == BillKind::kPurchase ? LoadPurchaseBill() : LoadReturnBill();
}

std::optional<BillLine> LoadPurchaseLine(const std::string& barcode) {
  store::Database db;
  // A goods not on the bill yet starts at its last import price, for the user to type over.
  store::Statement statement = db.Query(
      "select a.goodsname,b.quantity,"
      "case when b.barcode is null then a.importprice else b.importprice end,"
      "ifnull(b.importvalue,ifnull(b.quantity,0)*ifnull(b.importprice,0)) from goodsmaster a "
      "left join import b on (a.barcode = b.barcode) where a.barcode = ?",
      common::Trim(barcode));
  if (!statement.Step()) return std::nullopt;
  return BillLine{statement.Text(0), common::Money(statement.Double(1)),
                  common::Money(statement.Double(2)), common::Money(statement.Double(3))};
}

std::optional<BillLine> LoadReturnLine(const std::string& barcode) {
  store::Database db;
  store::Statement statement = db.Query(
      "select a.goodsname,b.quantity,b.returnprice,"
      "ifnull(b.returnvalue,ifnull(b.quantity,0)*ifnull(b.returnprice,0)) from goodsmaster a "
      "left join return b on (a.barcode = b.barcode) where a.barcode = ?",
      common::Trim(barcode));
  if (!statement.Step()) return std::nullopt;
  return BillLine{statement.Text(0), common::Money(statement.Double(1)),
                  common::Money(statement.Double(2)), common::Money(statement.Double(3))};
}

std::optional<BillLine> LoadBillLine(BillKind kind, const std::string& barcode) {
  return kind == BillKind::kPurchase ? LoadPurchaseLine(barcode) : LoadReturnLine(barcode);
}

bool EnterBillGoods(const std::string& barcode, sale::SaleUi& ui) {
  const bool use_library = ItemLibraryEnabled();
  store::Database db;
  return sale::EnterQuickGoods(db, common::Trim(barcode), use_library, ui);
}

LineChange AfterTyping(LineChange before, LineField field) {
  switch (field) {
    case LineField::kPrice:
      return LineChange::kPrice;
    case LineField::kAmount:
      return LineChange::kAmount;
    case LineField::kQuantity:
      return before == LineChange::kNone ? LineChange::kQuantity : before;
    case LineField::kConfirm:
      break;
  }
  return before;
}

LineStep EnterLinePrice(const BillLineFields& fields) {
  LineStep step{LineField::kAmount, fields};
  if (Blank(fields.price)) return step;
  const std::optional<double> price = Number(fields.price, TillNumber::kAmount);
  if (!price) throw ValidationError("单价有误", "price");
  RefuseNegative(price, std::nullopt);
  // A price of 0 is no price: the amount must decide it, so that is where Enter goes.
  if (Fen(*price) == 0) return step;
  if (Blank(fields.quantity)) {
    step.focus = LineField::kQuantity;
    return step;
  }
  const double quantity = LineQuantity(fields.quantity, "请录入数量");
  step.fields.amount = common::Money(Fen(Fen(*price) * quantity));
  step.fields.changed = LineChange::kPrice;
  step.focus = LineField::kConfirm;
  return step;
}

LineStep EnterLineAmount(const BillLineFields& fields) {
  LineStep step{LineField::kConfirm, fields};
  const std::optional<double> price = Number(fields.price, TillNumber::kAmount);
  const bool keep_price = PriceDecides(fields) && price && Fen(*price) != 0;
  if (Blank(fields.amount) || keep_price) {
    if (Blank(fields.price)) throw ValidationError("请录入金额", "amount");
    if (!price) throw ValidationError("价格录入有误", "price");
    RefuseNegative(price, std::nullopt);
    const double quantity = LineQuantity(fields.quantity, "请录入数量");
    step.fields.amount = common::Money(Fen(Fen(*price) * quantity));
    step.fields.changed = LineChange::kPrice;
    return step;
  }
  const std::optional<double> amount = Number(fields.amount, TillNumber::kAmount);
  if (!amount) throw ValidationError("金额有误", "amount");
  RefuseNegative(std::nullopt, amount);
  const double quantity = LineQuantity(fields.quantity, "数量有误");
  step.fields.price = common::Money(PriceFromAmount(Fen(*amount), quantity));
  step.fields.changed = LineChange::kAmount;
  return step;
}

SavedBillLine SaveBillLine(BillKind kind, const BillLineFields& fields) {
  const std::string barcode = common::Trim(fields.barcode);
  if (barcode.empty()) throw ValidationError("条码不能为空", "barcode");
  store::Database db;
  if (!lookups::HasGoods(db, barcode)) throw ValidationError("此商品不存在", "barcode");
  const double quantity = LineQuantity(fields.quantity, "请录入数量");
  if (quantity < 0) throw ValidationError("进货数量必须>=0", "quantity");
  const SavedBillLine line = PriceAndAmount(fields, quantity);

  store::Transaction tx(db);
  if (kind == BillKind::kPurchase) {
    if (db.Exec("update import set quantity = ?,importprice = ?,importvalue = ? where barcode = ?",
                line.quantity, line.price, line.amount, barcode) == 0) {
      db.Exec("insert into import (barcode,quantity,importprice,importvalue) values (?,?,?,?)",
              barcode, line.quantity, line.price, line.amount);
    }
  } else if (db.Exec(
                 "update return set quantity = ?,returnprice = ?,returnvalue = ? where barcode = ?",
                 line.quantity, line.price, line.amount, barcode) == 0) {
    db.Exec("insert into return (barcode,quantity,returnprice,returnvalue) values (?,?,?,?)",
            barcode, line.quantity, line.price, line.amount);
  }
  tx.Commit();
  return line;
}

SavedBillLine SavePurchaseLine(const BillLineFields& fields) {
  return SaveBillLine(BillKind::kPurchase, fields);
}

SavedBillLine SaveReturnLine(const BillLineFields& fields) {
  return SaveBillLine(BillKind::kReturn, fields);
}

std::string VerifyBillQuestion(BillKind kind) {
  const std::vector<BillRow> rows = LoadBill(kind);
  double total = 0;
  for (const BillRow& row : rows) total += Fen(row.amount);
  return "共 " + std::to_string(rows.size()) + " 行, 合计 " + common::Money(Fen(total)) +
         ", 是否验收?";
}

void DeleteBillLine(BillKind kind, const std::string& barcode) {
  store::Database db;
  // A joined till sends the deletion to the shop server as the transaction commits.
  store::Transaction tx(db);
  db.Exec(kind == BillKind::kPurchase ? "delete from import where barcode = ?"
                                      : "delete from return where barcode = ?",
          barcode);
  tx.Commit();
}

}  // namespace backoffice
