#include "ui/sale/CashierCommands.h"

#include <vector>

#include "core/sale/member_pricing.h"
#include "core/sale/record_lists.h"
#include "core/sale/sale_lines.h"
#include "core/sale/settlement.h"
#include "core/sale/suspended.h"
#include "core/sale/till_duties.h"
#include "ui/common/MessageBox.h"
#include "ui/sale/RecordListDialog.h"
#include "ui/sale/SaleDialogs.h"
#include "ui/sale/TillSlips.h"

namespace ui {

CashierCommands::CashierCommands(QWidget* screen, sale::CurrentSale& sale, SaleDialogs& dialogs,
                                 sale::CustomerDisplay& display)
    : screen_(screen), sale_(sale), dialogs_(dialogs), display_(display) {}

sale::EntryOutcome CashierCommands::Enter(const std::string& text) {
  // A failure beyond the engine's own refusals keeps the text for another try.
  sale::EntryOutcome outcome = sale::EntryOutcome::kKeepEntry;
  RunGuarded(screen_, [&] {
    const sale::EntryResult result = sale::ProcessEntry(sale_, text, dialogs_, display_);
    outcome = result.outcome;
    if (outcome == sale::EntryOutcome::kSettle) {
      Settle();
      outcome = sale::EntryOutcome::kDone;
    } else if (outcome == sale::EntryOutcome::kPettyCash) {
      outcome = sale::PettyCash(sale_, result.petty_cash_amount, dialogs_, display_);
    }
  });
  return outcome;
}

sale::ScanResult CashierCommands::ScanBarcode(const std::string& barcode) {
  sale::ScanResult result = sale::ScanResult::kNotAdded;
  RunGuarded(screen_, [&] {
    result = sale::AddGoodsByBarcode(sale_, barcode, dialogs_);
    if (result == sale::ScanResult::kAdded) sale::ComputeTotal(sale_, display_);
  });
  return result;
}

void CashierCommands::AddGoodsByButton(const std::string& barcode) {
  RunGuarded(screen_, [&] {
    if (sale::AddGoodsByButton(sale_, barcode, dialogs_) == sale::ScanResult::kAdded) {
      sale::ComputeTotal(sale_, display_);
    }
  });
}

void CashierCommands::ApplyPadNumber(sale::PadMode mode, const std::string& typed) {
  RunGuarded(screen_, [&] { sale::ApplyPadNumber(sale_, mode, typed, dialogs_, display_); });
}

bool CashierCommands::MayBookPettyCash() {
  return RunGuarded(screen_, [&] { sale::CheckPettyCashAllowed(sale_); });
}

void CashierCommands::CancelLine() {
  RunGuarded(screen_, [&] {
    sale::CancelLine(sale_);
    sale::ComputeTotal(sale_, display_);
  });
}

void CashierCommands::CancelBill() {
  RunGuarded(screen_, [&] {
    sale::CancelBill(sale_);
    sale::ComputeTotal(sale_, display_);
  });
}

void CashierCommands::Settle(std::string_view nothing_to_settle) {
  RunGuarded(screen_, [&] {
    if (sale_.lines.empty() && !nothing_to_settle.empty()) {
      dialogs_.Message(nothing_to_settle);
      return;
    }
    const sale::SettleResult result = sale::SettleSale(sale_, dialogs_, dialogs_, display_);
    if (result.outcome == sale::SettleOutcome::kCommitted) {
      settled_text_ = QString::fromStdString(sale::SettledText(result));
    }
  });
}

void CashierCommands::ToggleMember() {
  RunGuarded(screen_, [&] { sale::AttachMember(sale_, dialogs_, display_); });
}

void CashierCommands::Suspend() {
  RunGuarded(screen_, [&] { sale::SuspendSale(sale_, dialogs_, display_); });
}

void CashierCommands::Retrieve() {
  RunGuarded(screen_, [&] {
    sale::RetrieveSale(sale_, dialogs_, display_, [this] {
      return RecordListDialog::ChooseNumber(screen_, sale::kSuspendedBillsMode);
    });
  });
}

void CashierCommands::ShiftReceipt() {
  RunGuarded(screen_, [&] { ShiftSlipOfChosenShift(screen_); });
}

void CashierCommands::Reprint() {
  RunGuarded(screen_, [&] { ReprintChosenReceipt(screen_); });
}

void CashierCommands::OpenDrawer() {
  RunGuarded(screen_, [&] {
    for (const std::string& message : sale::OpenDrawer(sale_.workno)) {
      if (!message.empty()) dialogs_.Message(message);
    }
  });
}

void CashierCommands::CloseShift() {
  RunGuarded(screen_, [&] { CloseShiftShowingSlip(screen_, sale_.workno); });
}

QString CashierCommands::SettledText() {
  // The last sale's payment stays until the next sale has its first line.
  if (!sale_.lines.empty()) settled_text_.clear();
  return settled_text_;
}

}  // namespace ui
