#include "core/sale/process_entry.h"

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/numbers.h"
#include "core/sale/adjustments.h"
#include "core/sale/goods_entry.h"
#include "core/sale/sale_lines.h"
#include "core/store/database.h"

namespace sale {
namespace {

using servicelib::TillNumber;

// The number after the command character. Unlike a bare decimal parse, text that is no
// number, or one beyond what a till holds, is refused: "/" alone must not give a line away
// at rate 0, and 21 digits of quantity must not turn the total into infinity.
double CommandNumber(const std::string& text, TillNumber kind, const char* refusal) {
  return servicelib::TypedNumber(text.substr(1), kind, refusal);
}

// Runs a command that changes lines; false when the cashier declined it (no total).
bool RunCommand(CurrentSale& sale, const std::string& text, SaleUi& ui) {
  switch (text[0]) {
    case '*':
      return ChangeQuantity(sale, CommandNumber(text, TillNumber::kQuantity, "数量有误"), ui);
    case '/':
      ItemDiscount(sale, CommandNumber(text, TillNumber::kAmount, "折扣率有误"));
      return true;
    case '%':
      BillDiscount(sale, CommandNumber(text, TillNumber::kAmount, "折扣率有误"));
      return true;
    case '\\':
      ChangePrice(sale, CommandNumber(text, TillNumber::kAmount, "价格有误"));
      return true;
    case '-':
      CancelLine(sale);
      return true;
    case '=':
      CancelBill(sale);
      return true;
    default:
      AddGoodsByBarcode(sale, text, ui);
      return true;
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
    AddGoodsByBarcode(sale, text, ui);
    ComputeTotal(sale, display);
    return {};
  }
  if (text[0] == '+') {
    ui.Message("有未结账的流水,不能录入备用金");
    return {EntryOutcome::kKeepEntry, {}};
  }
  try {
    if (!RunCommand(sale, text, ui)) return {};
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
