#include "core/sale/commit_sale.h"

#include <optional>
#include <string>
#include <vector>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/devices/cash_drawer.h"
#include "core/lookups/goods.h"
#include "core/lookups/numbers.h"
#include "core/lookups/till_numbers.h"
#include "core/sale/points.h"
#include "core/sale/receipts.h"
#include "core/sale/refusals.h"
#include "core/sale/sale_lines.h"
#include "core/sale/stock_moves.h"
#include "core/sale/till_audit.h"
#include "core/settings/settings.h"
#include "core/store/audit.h"
#include "core/store/journal.h"
#include "core/store/outbox.h"
#include "core/store/yes_no.h"

namespace sale {
namespace {

using lookups::RoundTo;

double Money(double value) { return RoundTo(value, 2); }

struct Totals {
  double amount = 0;
  double quantity = 0;
  double discount = 0;
  double points_base = 0;
  double price_discount = 0;
};

// The line's share of the whole-bill allowance, in proportion to its amount.
double ValueDiscount(const SaleLine& line, const Payment& payment) {
  const double due = Money(payment.due);
  if (payment.allowance == 0 || due == 0) return 0;
  return Money(Money(line.Number(kAmount)) / due * payment.allowance);
}

void CreditMember(store::Database& db, const CurrentSale& sale, const Payment& payment,
                  const Totals& totals) {
  store::Statement member = db.Query(
      "select memberpointsmode,ifnull(depositvalue,0) from membermaster where memberid = ?",
      sale.member_id);
  if (!member.Step()) throw kasso::UserError("会员不存在");
  const bool points_member = store::YesNo(member.Text(0));
  const double deposit = member.Double(1);
  // The payment dialog read the balance earlier; it must still cover what it takes.
  if (Fen(payment.stored) > 0 && Fen(payment.stored) > Fen(deposit)) {
    throw kasso::UserError("储值余额不足");
  }
  double points = 0;
  if (points_member) {
    PointsInput in;
    in.points_base = totals.points_base;
    in.total_amount = totals.amount;
    in.received = payment.cash + payment.stored + payment.cheque + payment.card - payment.change;
    settings::Settings till = settings::LoadSettings(db);
    in.base_value = till.points_base;
    in.points_value = till.points_per_base;
    points = EarnedPoints(in);
  }
  // A refund takes back the points its amount earned, but never takes the balance below 0.
  db.Exec(
      "update membermaster set memberpointsvalue = max(min(ifnull(memberpointsvalue,0),0), "
      "ifnull(memberpointsvalue,0) + ?), depositvalue = ifnull(depositvalue,0) - ? "
      "where memberid = ?",
      points, Money(payment.stored), sale.member_id);
}

}  // namespace

std::int64_t WriteSale(store::Database& db, const CurrentSale& sale, const Payment& payment) {
  const std::int64_t number = lookups::NextBillNumber(db);
  const std::string now = kasso::NowText();
  Totals totals;
  store::Statement insert_line = db.Query(
      "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
      "quantity,price,actualvalue,discountrate,discountvalue,barcode,workno,shiftid,memberid,"
      "valuediscount,pricediscount) values (?,?,?,?,?,?,?,?,?,?,0,?,?,?)");
  lookups::GoodsSaleFactsReader goods(db);
  StockMover stock(db);
  std::string refunds;
  for (const SaleLine& line : sale.lines) {
    if (line.Number(kQuantity) < 0) refunds += (refunds.empty() ? "" : "; ") + AuditLineText(line);
    const std::string& barcode = line[kBarcode];
    const lookups::GoodsSaleFacts facts = goods.Read(barcode);
    // The saving against the line's own sales price: for goods priced 0 in the goods master
    // that is the price typed at the till or carried by the scale barcode.
    const double price_discount =
        Money((Money(line.Number(kSalesPrice)) - Money(line.Number(kPrice))) *
              Money(line.Number(kQuantity)));
    insert_line.Reset();
    insert_line.BindAll(number, store::kJournalSale, now, line.Number(kQuantity),
                        line.Number(kPrice), line.Number(kAmount), line.Number(kRate),
                        line.Number(kDiscountAmount), barcode, sale.workno, sale.member_id,
                        ValueDiscount(line, payment), price_discount);
    insert_line.Run();
    stock.Move(barcode, -line.Number(kQuantity), facts.combined);

    const double amount = Money(line.Number(kAmount));
    totals.amount += amount;
    totals.quantity += Money(line.Number(kQuantity));
    totals.discount += Money(line.Number(kDiscountAmount));
    if (facts.gives_points) totals.points_base += amount;
    totals.price_discount += price_discount;
  }

  db.Exec(
      "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
      "quantity,price,actualvalue,discountrate,discountvalue,barcode,paid,change,workno,"
      "memberid,cardpaid,shiftid,wipevalue,valuediscount,pricediscount,checkpaid,unionpaid) "
      "values (?,?,?,?,0,?,0,?,'',?,?,?,?,?,0,?,?,?,?,?)",
      number, store::kJournalBillTotal, now, Money(totals.quantity),
      Money(totals.amount - payment.wipe), Money(totals.discount), Money(payment.cash),
      Money(payment.change), sale.workno, sale.member_id, Money(payment.stored),
      Money(payment.wipe), Money(payment.allowance), Money(totals.price_discount),
      Money(payment.cheque), Money(payment.card));

  // Goods taken back and money allowed off the bill are recorded with the bill itself.
  if (!refunds.empty()) store::WriteAudit(db, {sale.workno, store::kAuditRefund, refunds, number});
  if (Money(payment.allowance) != 0) {
    store::WriteAudit(
        db, {sale.workno, store::kAuditAllowance, kasso::Money(payment.allowance), number});
  }
  if (sale.HasMember()) CreditMember(db, sale, payment, totals);
  store::QueueForServer(db, store::OutboxKind::kBill, number);
  return number;
}

int ReceiptCopies(store::Database& db) {
  settings::Settings till = settings::LoadSettings(db);
  const std::string& mode = till.printer_mode;
  const std::string port = kasso::ToLower(kasso::Trim(till.printer_port));
  const bool prints = (mode == "POS58" && (port == "lpt1" || port == "com1")) ||
                      mode == "驱动打印" || mode == "驱动76mm";
  return prints && till.receipt_copies > 0 ? till.receipt_copies : 0;
}

CommitResult CommitSale(CurrentSale& sale, const Payment& payment, SaleUi& ui) {
  CommitResult result;
  // One connection serves the commit and the steps after it: each opening costs as much as
  // the sale's own statements.
  std::optional<store::Database> db;
  try {
    db.emplace();
    store::Transaction transaction(*db);
    result.transaction_number = WriteSale(*db, sale, payment);
    transaction.Commit();
  } catch (const std::exception& error) {
    // The transaction was rolled back as it left scope: nothing of the sale is stored.
    ui.Message(CommitRefusal(error));
    return {};
  }
  result.committed = true;

  // From here on the sale is stored: whatever the devices do, the screen moves on.
  NewSale(sale, result.transaction_number + 1);
  std::vector<std::string> problems;
  int copies = 0;
  try {
    if (std::string drawer = devices::KickCashDrawer(*db); !drawer.empty()) {
      problems.push_back(drawer);
    }
    copies = ReceiptCopies(*db);
  } catch (const std::exception&) {
    // A device or settings failure after the commit changes nothing: the sale stands, and
    // without readable settings no receipt is printed.
  }
  db.reset();
  for (int copy = 0; copy < copies; ++copy) {
    std::string printed;
    try {
      printed = PrintSaleReceipt(result.transaction_number);
    } catch (const std::exception& error) {
      printed = std::string("小票打印失败: ") + error.what();
    }
    if (!printed.empty()) {
      problems.push_back(printed);
      break;  // one message is enough; further copies would fail alike
    }
  }
  for (const std::string& problem : problems) ui.Message(problem);
  return result;
}

}  // namespace sale
