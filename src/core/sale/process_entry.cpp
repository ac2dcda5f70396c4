#include "core/sale/process_entry.h"

#include "core/common/error.h"
#include "core/lookups/numbers.h"
#include "core/sale/adjustments.h"
#include "core/sale/goods_entry.h"
#include "core/sale/sale_lines.h"
#include "core/store/database.h"

namespace sale {
namespace {

using lookups::TillNumber;

// What follows a command: the total, nothing (declined), or the entry kept for another try.
enum class Then { kTotal, kNothing, kKeepEntry };

// The number after the command character. Unlike a bare decimal parse, text that is no
// number, or one beyond what a till holds, is refused: "/" alone must not give a line away
// at rate 0, and 21 digits of quantity must not turn the total into infinity.
double CommandNumber(const std::string& text, TillNumber kind, const char* refusal) {
  return lookups::TypedNumber(text.substr(1), kind, refusal);
}

// A scan; a busy file keeps the scanned text for another try.
Then Scan(CurrentSale& sale, const std::string& text, SaleUi& ui) {
  return AddGoodsByBarcode(sale, text, ui) == ScanResult::kBusy ? Then::kKeepEntry : Then::kTotal;
}

// Runs a command that changes lines, or scans.
Then RunCommand(CurrentSale& sale, const std::string& text, SaleUi& ui) {
  switch (text[0]) {
    case '*': {
      double quantity = CommandNumber(text, TillNumber::kQuantity, "数量有误");
      return ChangeQuantity(sale, quantity, ui) ? Then::kTotal : Then::kNothing;
    }
    case '/':
      ItemDiscount(sale, CommandNumber(text, TillNumber::kAmount, "折扣率有误"));
      return Then::kTotal;
    case '%':
      BillDiscount(sale, CommandNumber(text, TillNumber::kAmount, "折扣率有误"));
      return Then::kTotal;
    case '\\':
      ChangePrice(sale, CommandNumber(text, TillNumber::kAmount, "价格有误"));
      return Then::kTotal;
    case '-':
      CancelLine(sale);
      return Then::kTotal;
    case '=':
      CancelBill(sale);
      return Then::kTotal;
    default:
      return Scan(sale, text, ui);
  }
}

}  // namespace

EntryResult ProcessEntry(CurrentSale& sale, const std::string& text, SaleUi& ui,
                         CustomerDisplay& display) {
  if (text.empty()) return {EntryOutcome::kSettle, {}};
  if (sale.lines.empty()) {
    if (text[0] == '+') {
      ComputeTotal(sale, display);
      return {EntryOutcome::kPettyCash, text.substr(1)};
    }
    if (Scan(sale, text, ui) == Then::kKeepEntry) return {EntryOutcome::kKeepEntry, {}};
    ComputeTotal(sale, display);
    return {};
  }
  if (text[0] == '+') {
    ui.Message("有未结账的流水,不能录入备用金");
    return {EntryOutcome::kKeepEntry, {}};
  }
  try {
    Then then = RunCommand(sale, text, ui);
    if (then == Then::kNothing) return {};
    if (then == Then::kKeepEntry) return {EntryOutcome::kKeepEntry, {}};
  } catch (const kasso::UserError& error) {
    ui.Message(error.what());
    return {EntryOutcome::kKeepEntry, {}};
  } catch (const store::DbError&) {
    ui.Message("计算有误");
    return {EntryOutcome::kKeepEntry, {}};
  }
  ComputeTotal(sale, display);
  return {};
}

}  // namespace sale
