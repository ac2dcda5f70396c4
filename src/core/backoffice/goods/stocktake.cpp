#include "core/backoffice/goods/stocktake.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/goods_master.h"
#include "core/backoffice/goods/inventory_rows.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/bills.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"
#include "core/store/outbox.h"
#include "core/store/yes_no.h"

namespace backoffice {
namespace {

using common::ValidationError;

constexpr const char* kRowSelect =
    "select a.barcode,b.goodsname,b.unit,a.accquant,a.invquant,a.plquant from invcount a left "
    "join goodsmaster b on (a.barcode = b.barcode)";

StocktakeRow ReadRow(const store::Statement& statement) {
  return {statement.Text(0),   statement.Text(1),   statement.Text(2),
          statement.Double(3), statement.Double(4), statement.Double(5)};
}

// No count starts while a purchase or return bill waits for verification: its lines would
// reach the stock after the book quantities were taken.
void RefuseWhileBillsWait(store::Database& db) {
  if (lookups::HasOpenPurchaseBill(db)) {
    throw common::UserError("有未验收的进货单,请处理后盘点");
  }
  if (lookups::HasOpenReturnBill(db)) {
    throw common::UserError("有未验收的返厂单,请处理后盘点");
  }
}

// Fills an empty count on the caller's transaction; false when a count is open. The rows go in
// in barcode order, so every new index entry lands at the end, and are listed in that order.
bool Generate(store::Database& db) {
  if (db.HasRow("select 1 from invcount limit 1")) return false;
  InventoryRows stock(db);
  std::vector<std::pair<std::string, double>> rows;
  {
    store::Statement goods =
        db.Query("select barcode from goodsmaster where ifnull(iscombined,?) <> ?", kNo, kYes);
    while (goods.Step()) {
      // A goods without a stock row has a book stock of 0.
      std::string barcode = goods.Text(0);
      const InventoryRow* found = stock.Find(barcode);
      rows.emplace_back(std::move(barcode), found ? found->quantity : 0);
    }
  }
  std::sort(rows.begin(), rows.end());
  store::Statement insert =
      db.Query("insert into invcount (barcode,accquant,invquant,plquant) values (?1,?2,?2,0)");
  for (const auto& [barcode, quantity] : rows) {
    insert.Reset();
    insert.BindAll(barcode, quantity);
    insert.Run();
  }
  return true;
}

}  // namespace

bool GenerateStocktake() {
  store::Database db;
  PrepareBulkConnection(db);
  store::Transaction tx(db);
  RefuseWhileBillsWait(db);
  const bool generated = Generate(db);
  tx.Commit();
  return generated;
}

void RegenerateStocktake() {
  store::Database db;
  PrepareBulkConnection(db);
  store::Transaction tx(db);
  RefuseWhileBillsWait(db);
  db.Exec("delete from invcount");
  Generate(db);
  tx.Commit();
}

std::vector<StocktakeRow> LoadStocktake() {
  store::Database db;
  PrepareBulkConnection(db);
  store::ReadTransaction reading(db);
  std::vector<StocktakeRow> rows;
  rows.reserve(static_cast<size_t>(db.QueryInt("select count(*) from invcount").value_or(0)));
  store::Statement statement = db.Query(std::string(kRowSelect) + " order by a.rowid");
  while (statement.Step()) rows.push_back(ReadRow(statement));
  return rows;
}

std::optional<StocktakeRow> LoadStocktakeRow(const std::string& barcode) {
  store::Database db;
  store::Statement statement = db.Query(std::string(kRowSelect) + " where a.barcode = ?", barcode);
  if (!statement.Step()) return std::nullopt;
  return ReadRow(statement);
}

CountLine LoadCount(const std::string& barcode) {
  store::Database db;
  store::Statement statement = db.Query(
      "select a.goodsname,a.iscombined,b.invquant,b.barcode is not null from goodsmaster a left "
      "join invcount b on (a.barcode = b.barcode) where a.barcode = ?",
      common::Trim(barcode));
  if (!statement.Step()) throw common::UserError("此商品不存在");
  if (store::YesNo(statement.Text(1))) throw common::UserError("组合商品不能盘点,请盘点下线商品");
  CountLine line{statement.Text(0), {}};
  if (statement.Int(3) != 0) line.quantity = QuantityText(statement.Double(2));
  return line;
}

void SaveCount(const std::string& barcode, const std::string& quantity) {
  const std::string code = common::Trim(barcode);
  if (code.empty()) throw ValidationError("条码不能为空", "barcode");
  store::Database db;
  const std::optional<std::string> combined =
      db.QueryText("select iscombined from goodsmaster where barcode = ?", code);
  if (combined && store::YesNo(*combined))
    throw ValidationError("组合商品不能盘点,请盘点下线商品", "barcode");
  if (!combined) throw ValidationError("此商品不存在", "barcode");
  if (common::Trim(quantity).empty()) throw ValidationError("请录入数量", "quantity");
  const std::optional<double> count =
      lookups::ReadTypedNumber(quantity, lookups::TillNumber::kQuantity);
  if (!count) throw ValidationError("数量录入有误", "quantity");
  if (*count < 0) throw ValidationError("盘点数量必须大于或等于0", "quantity");
  const double counted = lookups::RoundTo(*count, 3);
  // A joined till sends the count to the shop server as the transaction commits.
  store::Transaction tx(db);
  // A goods entered after the count was generated has no row: its count would be lost.
  if (db.Exec("update invcount set invquant = ?1,plquant = ?1 - ifnull(accquant,0) "
              "where barcode = ?2",
              counted, code) == 0) {
    throw ValidationError("此商品不在盘点单中", "barcode");
  }
  tx.Commit();
}

void VerifyStocktake() {
  store::Database db;
  PrepareBulkConnection(db);
  store::Transaction tx(db);
  // Combined goods are few: reading them once is cheaper than asking for every row.
  std::unordered_set<std::string> combined;
  {
    store::Statement goods =
        db.Query("select barcode from goodsmaster where iscombined = ?", store::ToYesNo(true));
    while (goods.Step()) combined.insert(goods.Text(0));
  }
  std::vector<std::pair<std::string, double>> changes;
  {
    store::Statement rows =
        db.Query("select barcode,plquant from invcount where ifnull(plquant,0) <> 0");
    while (rows.Step()) {
      if (!combined.contains(rows.Text(0))) changes.emplace_back(rows.Text(0), rows.Double(1));
    }
  }
  // The stored difference is applied as it is: rounding it would move a weighed goods' stock
  // away from what was counted. Stock rows are changed in the order they are stored, which
  // spares a look-up per goods; a barcode with no stock row, or more than one, is changed by
  // barcode: a goods without one gets one, a goods deleted since the count was generated has
  // nothing left to correct.
  const InventoryByBarcode stock = ReadInventoryRowids(db);
  std::vector<std::pair<std::int64_t, double>> by_row;
  std::vector<std::pair<std::string, double>> by_barcode;
  by_row.reserve(changes.size());
  for (auto& [barcode, difference] : changes) {
    const auto found = stock.rowids.find(barcode);
    if (found != stock.rowids.end()) {
      by_row.emplace_back(found->second, difference);
    } else {
      by_barcode.emplace_back(std::move(barcode), difference);
    }
  }
  std::sort(by_row.begin(), by_row.end());
  store::Statement row_update =
      db.Query("update inventory set quantity = ifnull(quantity,0) + ? where rowid = ?");
  for (const auto& [rowid, difference] : by_row) {
    row_update.Reset();
    row_update.BindAll(difference, rowid);
    row_update.Run();
  }
  store::Statement update =
      db.Query("update inventory set quantity = ifnull(quantity,0) + ? where barcode = ?");
  store::Statement insert = db.Query(
      "insert into inventory (barcode,quantity) select ?1,?2 where exists "
      "(select 1 from goodsmaster where barcode = ?1)");
  for (const auto& [barcode, difference] : by_barcode) {
    update.Reset();
    update.BindAll(difference, barcode);
    update.Run();
    if (sqlite3_changes(db.handle()) > 0) continue;
    insert.Reset();
    insert.BindAll(barcode, difference);
    insert.Run();
  }
  const std::string now = common::NowText();
  db.Exec(
      "insert into invcountbak (barcode,accquant,invquant,plquant,confirmdate) "
      "select barcode,accquant,invquant,plquant,? from invcount",
      now);
  db.Exec("delete from invcount");
  store::QueueForServer(db, store::OutboxKind::kStocktake, now);
  tx.Commit();
}

std::size_t CountStocktakeRows() {
  store::Database db;
  return static_cast<std::size_t>(db.QueryInt("select count(*) from invcount").value_or(0));
}

}  // namespace backoffice
