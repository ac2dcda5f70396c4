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

// The number after the command character. Unlike a bare decimal parse, text that is no
// number is refused: "/" alone must not give a line away at rate 0.
double CommandNumber(const std::string& text, const char* refusal) {
  std::string number = kasso::Trim(text.substr(1));
  if (!servicelib::NumericalCheck(number)) throw kasso::UserError(refusal);
  return kasso::ParseNumber(number);
}

// Runs a command that changes lines; false when the cashier declined it (no total).
bool RunCommand(CurrentSale& sale, const std::string& text, SaleUi& ui) {
  switch (text[0]) {
    case '*':
      return ChangeQuantity(sale, CommandNumber(text, "数量有误"), ui);
    case '/':
      ItemDiscount(sale, CommandNumber(text, "折扣率有误"));
      return true;
    case '%':
      BillDiscount(sale, CommandNumber(text, "折扣率有误"));
      return true;
    case '\\':
      ChangePrice(sale, CommandNumber(text, "价格有误"));
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
