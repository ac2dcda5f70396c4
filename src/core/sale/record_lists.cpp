#include "core/sale/record_lists.h"

#include <charconv>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/store/database.h"
#include "core/store/journal.h"

namespace sale {
namespace {

// Parked sales, one row per list number (all lines of a parked sale carry its member).
RecordList SuspendedBills(store::Database& db) {
  RecordList list;
  list.columns = {
      {"编号", 50, false}, {"数量", 100, false}, {"会员编号", 100, true}, {"时间", 150, false}};
  store::Statement row = db.Query(
      "select listnumber,memberid,sum(ifnull(quantity,0)) as quantity,min(transdatetime) "
      "from transactionpendinglist group by listnumber,memberid order by listnumber");
  while (row.Step()) {
    std::string number = std::to_string(row.Int(0));
    list.rows.push_back({number, common::Fixed(row.Double(2), 3), row.Text(1), row.Text(3)});
    list.keys.push_back(number);
  }
  return list;
}

RecordList ShiftReceipts(store::Database& db) {
  RecordList list;
  list.columns = {{"编号", 100, false}, {"收银员", 100, false}, {"班结时间", 150, false}};
  store::Statement row = db.Query(
      "select a.shiftid,b.operatorname,a.shiftdate from shiftsum a left join operatormaster b "
      "on (a.workno = b.workno) order by a.shiftid desc");
  while (row.Step()) {
    std::string number = std::to_string(row.Int(0));
    list.rows.push_back({number, row.Text(1), row.Text(2)});
    list.keys.push_back(number);
  }
  return list;
}

// Past sales and returns, newest first, with the sums of their line rows (the summary row
// is not a line). Grouped by the number alone, so a bill whose rows carry different times
// or workers still shows once.
RecordList SaleReceipts(store::Database& db) {
  RecordList list;
  list.columns = {{"流水号", 100, false},
                  {"收银员", 100, false},
                  {"交易时间", 150, false},
                  {"交易数量", 100, false},
                  {"交易金额", 100, false}};
  store::Statement row = db.Query(
      "select a.transactionnumber,min(b.operatorname),min(a.transactiondatetime),"
      "sum(ifnull(a.quantity,0)),sum(ifnull(a.actualvalue,0)) from transactiondetails a "
      "left join operatormaster b on (a.workno = b.workno) "
      "where a.transactiontype in (?,?) group by a.transactionnumber "
      "order by a.transactionnumber desc",
      store::kJournalSale, store::kJournalReturn);
  while (row.Step()) {
    std::string number = std::to_string(row.Int(0));
    list.rows.push_back({number, row.Text(1), row.Text(2), common::Money(row.Double(3)),
                         common::Money(row.Double(4))});
    list.keys.push_back(number);
  }
  return list;
}

constexpr std::string_view kStocktakeList =
    "select sum(accquant),sum(invquant),sum(plquant),confirmdate from invcountbak "
    "where confirmdate >= ? and confirmdate <= ? group by confirmdate order by confirmdate";

}  // namespace

RecordList LoadStocktakeList(const std::string& start, const std::string& end) {
  RecordList list;
  list.columns = {{"结存数量", 100, true},
                  {"盘存数量", 100, true},
                  {"盈亏数量", 100, true},
                  {"验收时间", 200, false}};
  try {
    store::Database db;
    store::Statement row = db.Query(kStocktakeList, start, end);
    while (row.Step()) {
      list.rows.push_back({common::Fixed(row.Double(0), 3), common::Fixed(row.Double(1), 3),
                           common::Fixed(row.Double(2), 3), row.Text(3)});
      list.keys.push_back(row.Text(3));
    }
  } catch (const store::DbError&) {
    throw common::UserError("数据有误");
  }
  return list;
}

std::string_view StocktakeListStatement() { return kStocktakeList; }

RecordList LoadRecordList(std::string_view mode) {
  bool shifts = mode == kShiftReceiptsMode;
  try {
    store::Database db;
    if (mode == kSuspendedBillsMode) return SuspendedBills(db);
    if (shifts) return ShiftReceipts(db);
    if (mode == kSaleReceiptsMode) return SaleReceipts(db);
  } catch (const store::DbError&) {
    throw common::UserError(shifts ? "班次有误" : "数据有误");
  }
  throw common::UserError("数据有误");
}

std::optional<std::int64_t> RecordKeyNumber(const std::string& key) {
  std::int64_t number = 0;
  const char* end = key.data() + key.size();
  auto [stop, error] = std::from_chars(key.data(), end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  return number;
}

}  // namespace sale
