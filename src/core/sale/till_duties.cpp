#include "core/sale/till_duties.h"

#include "core/common/clock.h"
#include "core/common/format.h"
#include "core/devices/cash_drawer.h"
#include "core/lookups/numbers.h"
#include "core/lookups/open_or.h"
#include "core/lookups/operators.h"
#include "core/lookups/till_numbers.h"
#include "core/sale/receipts.h"
#include "core/sale/sale_lines.h"
#include "core/sale/shift.h"
#include "core/store/audit.h"
#include "core/store/journal.h"
#include "core/store/outbox.h"

namespace sale {
namespace {

using lookups::RoundTo;

constexpr const char* kPettyCashRefused = "备用金金额有误";
constexpr const char* kAuditRefused = "操作记录写入有误";

void AddMessage(std::vector<std::string>& messages, std::string message) {
  if (!message.empty()) messages.push_back(std::move(message));
}

}  // namespace

ShiftClosing CloseShift(const std::string& workno) {
  try {
    return {"完成", CloseOpenShift(workno)};
  } catch (const store::DbError&) {
    return {"班结有误", 0};
  }
}

std::vector<std::string> OpenDrawer(const std::string& workno) {
  const bool allowed = lookups::OpenOr(false, [&](store::Database& db) {
    return lookups::HasRight(db, lookups::Right::kOpenMoneyBox, workno);
  });
  if (!allowed) return {"您没有这个权限"};
  // A drawer opened without a sale is recorded before it opens, or not opened at all.
  try {
    store::WriteAudit({workno, store::kAuditDrawerOpened, {}, 0});
  } catch (const store::DbError&) {
    return {kAuditRefused};
  }
  std::vector<std::string> messages;
  AddMessage(messages, devices::KickCashDrawer());
  AddMessage(messages, PrintDrawerNote(workno));
  return messages;
}

void RecordPettyCash(store::Database& db, double amount, const std::string& workno) {
  const std::int64_t number = lookups::NextBillNumber(db);
  db.Exec(
      "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
      "actualvalue,workno,shiftid) values (?,?,?,?,?,0)",
      number, store::kJournalPettyCash, kasso::NowText(), RoundTo(amount, 2), workno);
  store::QueueForServer(db, store::OutboxKind::kPettyCash, number);
  store::WriteAudit(db, {workno, store::kAuditPettyCash, kasso::Money(amount), number});
}

PettyCashResult BookPettyCash(double amount, const std::string& workno) {
  amount = RoundTo(amount, 2);
  PettyCashResult result;
  std::string operator_name;
  if (!lookups::WithinTillRange(amount, lookups::TillNumber::kAmount)) {
    result.messages.emplace_back(kPettyCashRefused);
    return result;
  }
  try {
    store::Database db;
    operator_name = lookups::OperatorName(db, workno);  // for the slip
    // The drawer is counted and the row written in one transaction, so the check holds for
    // the row it lets through.
    store::Transaction transaction(db);
    double cash = MoneyInDrawer(db);
    if (RoundTo(cash + amount, 2) < 0) {
      result.messages.push_back("提取备用金金额(" + kasso::Money(amount) +
                                ")不能超过钱箱内现有金额(" + kasso::Money(cash) + ")");
      return result;
    }
    RecordPettyCash(db, amount, workno);
    transaction.Commit();
  } catch (const store::DbError&) {
    result.messages.push_back("备用金写入有误");
    return result;
  }
  result.booked = true;
  AddMessage(result.messages, devices::KickCashDrawer());
  AddMessage(result.messages, PrintPettySlip(amount, operator_name));
  return result;
}

EntryOutcome PettyCash(CurrentSale& sale, const std::string& amount_text, SaleUi& ui,
                       CustomerDisplay& display) {
  std::optional<double> amount =
      lookups::ReadTypedNumber(amount_text, lookups::TillNumber::kAmount);
  if (!amount || RoundTo(*amount, 2) == 0) {
    // "+" alone or "+0" would open the drawer for nothing, without the drawer right.
    ui.Message(kPettyCashRefused);
    return EntryOutcome::kKeepEntry;
  }
  PettyCashResult result = BookPettyCash(*amount, sale.workno);
  for (const std::string& message : result.messages) ui.Message(message);
  if (!result.booked) return EntryOutcome::kKeepEntry;
  ComputeTotal(sale, display);
  return EntryOutcome::kDone;
}

}  // namespace sale
