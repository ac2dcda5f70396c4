#include "ui/sale/TillSlips.h"

#include <QString>
#include <exception>
#include <string_view>

#include "core/devices/slip_printer.h"
#include "core/sale/receipts.h"
#include "core/sale/record_lists.h"
#include "core/sale/till_duties.h"
#include "ui/common/MessageBox.h"
#include "ui/common/SlipWindow.h"
#include "ui/sale/RecordListDialog.h"

namespace ui {
namespace {

QString Caption(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void CloseShiftShowingSlip(QWidget* parent, const std::string& workno) {
  if (!AskYesNo(parent, sale::kCloseShiftQuestion)) return;
  const sale::ShiftClosing closing = sale::CloseShift(workno);
  const QString message = QString::fromStdString(closing.message);
  if (closing.shiftid == 0) {
    ShowMessage(parent, message);
    return;
  }
  print::Slip slip;
  try {
    slip = print::ComposeSlipForScreen([&](store::Database& db, int columns) {
      return sale::ComposeShiftSlip(db, closing.shiftid, columns);
    });
  } catch (const std::exception& error) {
    // The shift is closed; its slip can still be had with F2.
    ShowMessage(parent, message);
    ShowMessage(parent, ErrorText(error));
    return;
  }
  SlipWindow::Show(parent, Caption(sale::kShiftReceiptsMode), slip, message);
}

void ShiftSlipOfChosenShift(QWidget* parent) {
  if (auto shift = RecordListDialog::ChooseNumber(parent, sale::kShiftReceiptsMode)) {
    ShowSlipDelivery(parent, Caption(sale::kShiftReceiptsMode), sale::DeliverShiftSlip(*shift));
  }
}

void ReprintChosenReceipt(QWidget* parent) {
  // A reprint is one copy, whatever the number of copies a sale prints.
  if (auto number = RecordListDialog::ChooseNumber(parent, sale::kSaleReceiptsMode)) {
    ShowSlipDelivery(parent, Caption(sale::kSaleReceiptsMode), sale::DeliverSaleReceipt(*number));
  }
}

}  // namespace ui
