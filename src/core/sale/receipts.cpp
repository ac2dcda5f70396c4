#include "core/sale/receipts.h"

#include <cmath>
#include <optional>
#include <vector>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/devices/slip_printer.h"
#include "core/lookups/goods.h"
#include "core/lookups/numbers.h"
#include "core/lookups/operators.h"
#include "core/sale/points.h"
#include "core/sale/shift.h"
#include "core/settings/settings.h"
#include "core/store/journal.h"
#include "core/store/yes_no.h"

namespace sale {
namespace {

using lookups::RoundTo;
using print::Align;
using print::RightColumns;

// One row of the bill as the journal holds it; the summary row uses the payment fields.
struct BillRow {
  std::string type;
  std::string datetime;
  double quantity = 0;
  double price = 0;
  double amount = 0;
  double discount = 0;
  std::string barcode;
  std::string workno;
  std::string memberid;
  double paid = 0;
  double change = 0;
  double stored = 0;
  double wipe = 0;
  double allowance = 0;
  double cheque = 0;
  double card = 0;
};

struct Bill {
  std::vector<BillRow> lines;
  std::optional<BillRow> summary;
};

Bill ReadBill(store::Database& db, std::int64_t number) {
  store::Statement row = db.Query(
      "select transactiontype,transactiondatetime,quantity,price,actualvalue,discountvalue,"
      "barcode,workno,memberid,paid,change,cardpaid,wipevalue,valuediscount,checkpaid,unionpaid "
      "from transactiondetails where transactionnumber = ? "
      "and transactiontype in (?,?,?) order by rowid",
      number, store::kJournalSale, store::kJournalReturn, store::kJournalBillTotal);
  Bill bill;
  while (row.Step()) {
    BillRow r;
    r.type = row.Text(0);
    r.datetime = row.Text(1);
    r.quantity = row.Double(2);
    r.price = row.Double(3);
    r.amount = row.Double(4);
    r.discount = row.Double(5);
    r.barcode = row.Text(6);
    r.workno = row.Text(7);
    r.memberid = row.Text(8);
    r.paid = row.Double(9);
    r.change = row.Double(10);
    r.stored = row.Double(11);
    r.wipe = row.Double(12);
    r.allowance = row.Double(13);
    r.cheque = row.Double(14);
    r.card = row.Double(15);
    if (r.type == store::kJournalBillTotal) {
      if (!bill.summary) bill.summary = std::move(r);
    } else {
      bill.lines.push_back(std::move(r));
    }
  }
  return bill;
}

bool NonZero(double money) { return RoundTo(money, 2) != 0; }

// Two decimals, or three for a weighed quantity that needs them.
std::string QuantityText(double quantity) {
  return RoundTo(quantity, 3) == RoundTo(quantity, 2) ? kasso::Money(quantity)
                                                      : kasso::Fixed(quantity, 3);
}

std::string OperatorText(store::Database& db, const std::string& workno) {
  std::string name = lookups::OperatorName(db, workno);
  return name.empty() ? workno : name;
}

// Quantity, price and amount side by side under the goods name.
std::vector<int> LineFieldWidths(int columns) {
  int field = columns / 3;
  return {field, field, columns - 2 * field};
}

void AddHeader(store::Database& db, Slip& slip) {
  std::string welcome = settings::LoadSettings(db).welcome;
  if (!kasso::Trim(welcome).empty()) slip.Wrapped(welcome, Align::kCenter, true);
}

void AddFooter(store::Database& db, Slip& slip) {
  std::string bye = settings::LoadSettings(db).bye;
  if (!kasso::Trim(bye).empty()) slip.Wrapped(bye, Align::kCenter);
}

// The lines summed as the commit sums them (each amount to the cent), with the part of the
// amount whose goods give points.
struct LineTotals {
  double quantity = 0;
  double amount = 0;
  double points_base = 0;
};

LineTotals AddLines(store::Database& db, const Bill& bill, Slip& slip) {
  std::vector<int> widths = LineFieldWidths(slip.columns);
  std::string heading = RightColumns({"数量", "单价", "金额"}, widths);
  // The heading's first field is right-aligned, so its start is blank for the name caption.
  if (widths[0] >= 8) heading.replace(0, 4, "品名");
  slip.Text(heading);
  slip.Rule();
  LineTotals totals;
  for (const BillRow& line : bill.lines) {
    std::string name = lookups::GoodsName(db, line.barcode);
    if (name.empty()) name = line.barcode;
    if (line.type == store::kJournalReturn) name = "[退货]" + name;
    slip.Text(name);
    slip.Text(RightColumns(
        {QuantityText(line.quantity), kasso::Money(line.price), kasso::Money(line.amount)},
        widths));
    if (NonZero(line.discount)) slip.Pair("  折扣", kasso::Money(-line.discount));
    double amount = RoundTo(line.amount, 2);
    totals.quantity += RoundTo(line.quantity, 3);
    totals.amount += amount;
    if (lookups::GoodsEarnPoints(db, line.barcode)) totals.points_base += amount;
  }
  return totals;
}

void AddPayment(const BillRow& summary, Slip& slip) {
  if (NonZero(summary.wipe)) slip.Pair("抹零", kasso::Money(-summary.wipe));
  if (NonZero(summary.allowance)) slip.Pair("整单折让", kasso::Money(-summary.allowance));
  // What the customer owes: the bill after round-off, less the allowance.
  slip.Pair("应收", kasso::Money(summary.amount - summary.allowance), true);
  const std::pair<const char*, double> tenders[] = {{"现金", summary.paid},
                                                    {"支票", summary.cheque},
                                                    {"银联卡", summary.card},
                                                    {"储值", summary.stored}};
  for (const auto& [caption, value] : tenders) {
    if (NonZero(value)) slip.Pair(caption, kasso::Money(value));
  }
  slip.Pair("找零", kasso::Money(summary.change));
}

void AddMember(store::Database& db, const std::string& memberid, const LineTotals& totals,
               const std::optional<BillRow>& summary, Slip& slip) {
  slip.Rule();
  store::Statement member = db.Query(
      "select membername,memberpointsmode,memberpointsvalue,depositmode,depositvalue "
      "from membermaster where memberid = ?",
      memberid);
  if (!member.Step()) {
    slip.Pair("会员:", memberid);
    return;
  }
  slip.Pair("会员:", memberid + " " + member.Text(0));
  if (store::YesNo(member.Text(1))) {
    if (summary) {
      PointsInput in;
      in.points_base = totals.points_base;
      in.total_amount = totals.amount;
      in.received =
          summary->paid + summary->stored + summary->cheque + summary->card - summary->change;
      settings::Settings till = settings::LoadSettings(db);
      in.base_value = till.points_base;
      in.points_value = till.points_per_base;
      slip.Pair("本单积分", kasso::Money(EarnedPoints(in)));
    }
    slip.Pair("积分余额", kasso::Money(member.Double(2)));
  }
  if (store::YesNo(member.Text(3))) slip.Pair("储值余额", kasso::Money(member.Double(4)));
}

}  // namespace

Slip ComposeSaleReceipt(store::Database& db, std::int64_t transactionnumber, int columns) {
  Bill bill = ReadBill(db, transactionnumber);
  if (bill.lines.empty() && !bill.summary) {
    throw kasso::UserError("流水号 " + std::to_string(transactionnumber) + " 不存在");
  }
  const BillRow& head = bill.summary ? *bill.summary : bill.lines.front();
  Slip slip;
  slip.columns = columns;
  AddHeader(db, slip);
  slip.Pair("单号:", std::to_string(transactionnumber));
  slip.Pair("时间:", head.datetime);
  slip.Pair("收银员:", OperatorText(db, head.workno));
  slip.Rule();
  LineTotals totals = AddLines(db, bill, slip);
  slip.Rule();
  slip.Pair("数量合计", QuantityText(totals.quantity));
  slip.Pair("金额合计", kasso::Money(totals.amount));
  if (bill.summary) AddPayment(*bill.summary, slip);
  if (!head.memberid.empty()) AddMember(db, head.memberid, totals, bill.summary, slip);
  slip.Rule();
  AddFooter(db, slip);
  return slip;
}

Slip ComposeShiftSlip(store::Database& db, std::int64_t shiftid, int columns) {
  std::optional<ShiftFigures> shift = ReadShiftFigures(db, shiftid);
  if (!shift) throw kasso::UserError("班次 " + std::to_string(shiftid) + " 不存在");
  Slip slip;
  slip.columns = columns;
  slip.Text("班结小票", Align::kCenter, true);
  slip.Pair("班次:", std::to_string(shiftid));
  slip.Pair("收银员:", OperatorText(db, shift->workno));
  slip.Pair("班结时间:", shift->shiftdate);
  slip.Rule();
  slip.Pair("交易笔数", std::to_string(shift->billcount));
  slip.Pair("销售数量", QuantityText(shift->salesquantity));
  const std::pair<const char*, double> money[] = {
      {"销售金额", shift->salesvalue}, {"折扣金额", shift->discountvalue},
      {"抹零金额", shift->wipevalue},  {"整单折让", shift->valuediscount},
      {"储值", shift->cardpaid},       {"现金", shift->cashpaid},
      {"支票", shift->checkpaid},      {"银联卡", shift->unionpaid},
      {"备用金", shift->pettyvalue}};
  for (const auto& [caption, value] : money) slip.Pair(caption, kasso::Money(value));
  slip.Rule();
  // What the cashier counts the drawer against.
  slip.Pair(kShiftDrawerCaption, kasso::Money(shift->DrawerCash()), true);
  slip.Rule();
  slip.Pair("打印时间:", kasso::NowText());
  return slip;
}

Slip ComposeDrawerNote(store::Database& db, const std::string& workno, int columns) {
  Slip slip;
  slip.columns = columns;
  slip.Text("开钱箱", Align::kCenter, true);
  slip.Pair("收银员:", OperatorText(db, workno));
  slip.Pair("时间:", kasso::NowText());
  return slip;
}

Slip ComposePettySlip(double amount, const std::string& operator_name, int columns) {
  Slip slip;
  slip.columns = columns;
  slip.Text("备用金", Align::kCenter, true);
  slip.Pair("类型:", amount < 0 ? "提取备用金" : "存入备用金");
  slip.Pair("金额:", kasso::Money(std::fabs(amount)));
  slip.Pair("收银员:", operator_name);
  slip.Pair("时间:", kasso::NowText());
  return slip;
}

std::string PrintSaleReceipt(std::int64_t transactionnumber) {
  return print::PrintSlip("小票打印失败", [&](store::Database& db, int columns) {
    return ComposeSaleReceipt(db, transactionnumber, columns);
  });
}

std::string PrintShiftSlip(std::int64_t shiftid) {
  return print::PrintSlip("班结小票打印失败", [&](store::Database& db, int columns) {
    return ComposeShiftSlip(db, shiftid, columns);
  });
}

print::SlipDelivery DeliverShiftSlip(std::int64_t shiftid) {
  return print::PrintOrKeepSlip("班结小票打印失败", [&](store::Database& db, int columns) {
    return ComposeShiftSlip(db, shiftid, columns);
  });
}

print::SlipDelivery DeliverSaleReceipt(std::int64_t transactionnumber) {
  return print::PrintOrKeepSlip("小票打印失败", [&](store::Database& db, int columns) {
    return ComposeSaleReceipt(db, transactionnumber, columns);
  });
}

std::string PrintPettySlip(double amount, const std::string& operator_name) {
  return print::PrintSlip("备用金小票打印失败", [&](store::Database&, int columns) {
    return ComposePettySlip(amount, operator_name, columns);
  });
}

std::string PrintDrawerNote(const std::string& workno) {
  return print::PrintSlip("开钱箱小票打印失败", [&](store::Database& db, int columns) {
    return ComposeDrawerNote(db, workno, columns);
  });
}

}  // namespace sale
