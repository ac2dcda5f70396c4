#include <string>
#include <utility>
#include <vector>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/lookups/numbers.h"
#include "core/sale/stock_moves.h"
#include "core/store/database.h"
#include "core/store/outbox.h"
#include "core/store/yes_no.h"

namespace backoffice {
namespace {

using lookups::RoundTo;

double Fen(double value) { return RoundTo(value, 2); }

// One line of the open bill as the list shows it: quantity, price and amount to the fen.
struct Line {
  std::string barcode;
  double quantity = 0;
  double price = 0;
  double amount = 0;  // what the line cost (purchases) or was worth (returns)
  bool combined = false;
  double stock_before = 0;  // purchases of plain goods: the stock before this verification
};

// Reads the bill and, before anything is applied, whether each goods is combined and, for
// purchases, its stock: so neither the bill's own lines nor units added through a combined
// goods on the same bill count in the stock the average is taken over.
std::vector<Line> ReadLines(store::Database& db, const char* sql, bool read_stock) {
  std::vector<Line> lines;
  {
    store::Statement statement = db.Query(sql);
    while (statement.Step()) {
      Line line{statement.Text(0), Fen(statement.Double(1)), Fen(statement.Double(2))};
      // A line of an older file without an amount cost quantity × price.
      line.amount =
          statement.IsNull(3) ? Fen(line.quantity * line.price) : Fen(statement.Double(3));
      lines.push_back(std::move(line));
    }
  }
  store::Statement goods = db.Query("select iscombined from goodsmaster where barcode = ?");
  store::Statement stock = db.Query("select quantity from inventory where barcode = ?");
  for (Line& line : lines) {
    goods.Reset();
    goods.Bind(1, line.barcode);
    if (!goods.Step()) {
      throw kasso::UserError("条码 " + line.barcode + " 的商品已不存在,请删除此行后验收");
    }
    line.combined = store::YesNo(goods.Text(0));
    if (!read_stock || line.combined) continue;
    stock.Reset();
    stock.Bind(1, line.barcode);
    line.stock_before = stock.Step() ? stock.Double(0) : 0;
  }
  return lines;
}

}  // namespace

void VerifyPurchaseBill() {
  store::Database db;
  store::Transaction tx(db);
  // The amount is what the line cost: merged lines add up to it, so it is not always
  // quantity × price.
  const std::vector<Line> lines = ReadLines(
      db, "select barcode,quantity,importprice,importvalue from import order by rowid", true);
  sale::StockMover stock(db);
  store::Statement average = db.Query(
      "update goodsmaster set averageimportprice = "
      "(ifnull(averageimportprice,0)*?1+?2)/(?1+?3),importprice = ?4 where barcode = ?5");
  store::Statement first_cost = db.Query(
      "update goodsmaster set averageimportprice = ?1,importprice = ?1 where barcode = ?2");
  store::Statement last_price =
      db.Query("update goodsmaster set importprice = ? where barcode = ?");
  for (const Line& line : lines) {
    stock.Move(line.barcode, line.quantity, line.combined);
    if (line.combined) continue;
    const double s = line.stock_before;
    if (s > 0 && s + line.quantity > 0) {
      average.Reset();
      average.BindAll(s, line.amount, line.quantity, line.price, line.barcode);
      average.Run();
    } else if (s <= 0) {
      first_cost.Reset();
      first_cost.BindAll(line.price, line.barcode);
      first_cost.Run();
    } else {
      // Older data may hold a negative quantity that empties the stock: there is no average
      // to take over nothing, so only the last price is kept.
      last_price.Reset();
      last_price.BindAll(line.price, line.barcode);
      last_price.Run();
    }
  }
  store::Statement history = db.Query(
      "insert into importbak (barcode,quantity,importprice,importvalue,confirmdate) "
      "values (?,?,?,?,?)");
  const std::string now = kasso::NowText();
  for (const Line& line : lines) {
    history.Reset();
    history.BindAll(line.barcode, line.quantity, line.price, line.amount, now);
    history.Run();
  }
  db.Exec("delete from import");
  store::QueueForServer(db, store::OutboxKind::kPurchaseBill, now);
  tx.Commit();
}

void VerifyReturnBill() {
  store::Database db;
  store::Transaction tx(db);
  const std::vector<Line> lines = ReadLines(
      db, "select barcode,quantity,returnprice,returnvalue from return order by rowid", false);
  sale::StockMover stock(db);
  for (const Line& line : lines) {
    stock.Move(line.barcode, -line.quantity, line.combined);
  }
  const std::string now = kasso::NowText();
  db.Exec(
      "insert into returnbak (barcode,quantity,confirmdate,returnprice,returnvalue) "
      "select barcode,quantity,?,returnprice,"
      "ifnull(returnvalue,round(ifnull(quantity,0)*ifnull(returnprice,0),2)) from return",
      now);
  db.Exec("delete from return");
  store::QueueForServer(db, store::OutboxKind::kReturnBill, now);
  tx.Commit();
}

void VerifyBill(BillKind kind) {
  if (kind == BillKind::kPurchase) {
    VerifyPurchaseBill();
  } else {
    VerifyReturnBill();
  }
}

}  // namespace backoffice
