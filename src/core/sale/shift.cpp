// The drawer's shift: the cash it holds and the shift closing.
//
// The open shift is every journal row with shiftid 0, whoever rang it up: the till has one
// drawer. Closing it numbers those rows with the next shift number (the highest in shiftsum
// plus one, 1 for the first shift) and writes that shift's shiftsum row, in one transaction:
//   billcount      the bills: "销售总计" rows (returns are negative lines inside such bills;
//                  the till writes no summary row of its own for them)
//   salesquantity  the bills' quantities summed
//   salesvalue     the amount charged: the bills' actualvalue (already less the wipe) less
//                  the whole-bill allowances, so it equals cash + stored value + cheque +
//                  bank card taken
//   discountvalue, wipevalue, valuediscount, cardpaid, checkpaid, unionpaid
//                  the bills' columns summed
//   cashpaid       the cash kept: tendered less change, summed
//   pettyvalue     the "备用金" rows summed (put in positive, taken out negative)
// Money is rounded to the fen, quantities to three decimals. The cash in the drawer is the
// open shift's cashpaid + pettyvalue, counted from the same rows, so right before a close
// MoneyInDrawer() equals the new row's cashpaid + pettyvalue.

#include "core/sale/shift.h"

#include "core/common/clock.h"
#include "core/lookups/numbers.h"
#include "core/store/audit.h"
#include "core/store/journal.h"
#include "core/store/outbox.h"

namespace sale {
namespace {

using lookups::RoundTo;

struct DrawerCash {
  double cash = 0;   // kept from the open shift's bills
  double petty = 0;  // put in or taken out as petty cash
};

DrawerCash CountDrawerCash(store::Database& db) {
  store::Statement row = db.Query(
      "select sum(case when transactiontype = ?1 then 0 "
      "else ifnull(paid,0) - ifnull(change,0) end),"
      "sum(case when transactiontype = ?1 then ifnull(actualvalue,0) else 0 end) "
      "from transactiondetails where transactiontype in (?2,?1) and shiftid = 0",
      store::kJournalPettyCash, store::kJournalBillTotal);
  DrawerCash drawer;
  if (row.Step()) {
    drawer.cash = RoundTo(row.Double(0), 2);
    drawer.petty = RoundTo(row.Double(1), 2);
  }
  return drawer;
}

void WriteShiftSum(store::Database& db, std::int64_t shiftid, const std::string& workno) {
  store::Statement bills = db.Query(
      "select count(*),sum(ifnull(quantity,0)),"
      "sum(ifnull(actualvalue,0)) - sum(ifnull(valuediscount,0)),sum(ifnull(discountvalue,0)),"
      "sum(ifnull(wipevalue,0)),sum(ifnull(valuediscount,0)),sum(ifnull(cardpaid,0)),"
      "sum(ifnull(checkpaid,0)),sum(ifnull(unionpaid,0)) "
      "from transactiondetails where transactiontype = ? and shiftid = 0",
      store::kJournalBillTotal);
  bills.Step();
  auto money = [&bills](int column) { return RoundTo(bills.Double(column), 2); };
  DrawerCash drawer = CountDrawerCash(db);
  db.Exec(
      "insert into shiftsum (shiftid,shiftdate,workno,billcount,salesquantity,salesvalue,"
      "discountvalue,wipevalue,valuediscount,cardpaid,cashpaid,checkpaid,unionpaid,pettyvalue) "
      "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
      shiftid, kasso::NowText(), workno, bills.Int(0), RoundTo(bills.Double(1), 3), money(2),
      money(3), money(4), money(5), money(6), drawer.cash, money(7), money(8), drawer.petty);
}

}  // namespace

double ShiftFigures::DrawerCash() const { return RoundTo(cashpaid + pettyvalue, 2); }

double MoneyInDrawer(store::Database& db) {
  DrawerCash drawer = CountDrawerCash(db);
  return RoundTo(drawer.cash + drawer.petty, 2);
}

std::int64_t CloseOpenShift(const std::string& workno) {
  store::Database db;
  store::Transaction transaction(db);
  std::int64_t shiftid = db.QueryInt("select max(shiftid) from shiftsum").value_or(0) + 1;
  WriteShiftSum(db, shiftid, workno);
  db.Exec("update transactiondetails set shiftid = ? where shiftid = 0", shiftid);
  store::QueueForServer(db, store::OutboxKind::kShiftClosing, shiftid);
  store::WriteAudit(db, {workno, store::kAuditShiftClosed, "班次 " + std::to_string(shiftid), 0});
  transaction.Commit();
  return shiftid;
}

std::optional<ShiftFigures> ReadShiftFigures(store::Database& db, std::int64_t shiftid) {
  store::Statement row = db.Query(
      "select shiftdate,workno,billcount,salesquantity,salesvalue,discountvalue,wipevalue,"
      "valuediscount,cardpaid,cashpaid,checkpaid,unionpaid,pettyvalue from shiftsum "
      "where shiftid = ? order by rowid limit 1",
      shiftid);
  if (!row.Step()) return std::nullopt;
  ShiftFigures figures;
  figures.shiftid = shiftid;
  figures.shiftdate = row.Text(0);
  figures.workno = row.Text(1);
  figures.billcount = row.Int(2);
  figures.salesquantity = row.Double(3);
  double* money[] = {&figures.salesvalue,    &figures.discountvalue, &figures.wipevalue,
                     &figures.valuediscount, &figures.cardpaid,      &figures.cashpaid,
                     &figures.checkpaid,     &figures.unionpaid,     &figures.pettyvalue};
  int column = 4;
  for (double* value : money) *value = row.Double(column++);
  return figures;
}

}  // namespace sale
