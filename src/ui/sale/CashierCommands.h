#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "core/sale/current_sale.h"
#include "core/sale/goods_entry.h"
#include "core/sale/process_entry.h"
#include "core/sale/sale_ui.h"
#include "core/sale/touch_entry.h"

class QWidget;

namespace ui {

class SaleDialogs;

// The commands of both cashier screens, one handler each. Every handler runs its sale
// operation inside RunGuarded, so whatever an operation throws is shown in a "确认" box and
// never escapes into the event loop, and leaves the sale as the operation left it. The
// keyboard screen reaches them through its entry field and function keys, the touch screen
// through its buttons and pads; either shows the sale afterwards.
class CashierCommands {
 public:
  CashierCommands(QWidget* screen, sale::CurrentSale& sale, SaleDialogs& dialogs,
                  sale::CustomerDisplay& display);

  // Enter in the keyboard's entry field: a barcode or a command, settling on an empty field
  // and booking petty cash for "+". kDone when the field may be emptied, kKeepEntry when its
  // text stays for correction.
  sale::EntryOutcome Enter(const std::string& text);
  // A barcode typed or scanned into the touch screen's barcode box, and a goods button.
  sale::ScanResult ScanBarcode(const std::string& barcode);
  void AddGoodsByButton(const std::string& barcode);
  // A number typed on a touch pad, applied as its mode says.
  void ApplyPadNumber(sale::PadMode mode, const std::string& typed);
  // Refused while the sale has lines, before any pad is opened.
  bool MayBookPettyCash();

  void CancelLine();
  void CancelBill();
  // Settles the sale; with no lines the screen's own message when it gives one, else the
  // sale engine's "无法结算".
  void Settle(std::string_view nothing_to_settle = {});
  // Attaches a member, or detaches the attached one.
  void ToggleMember();
  void Suspend();
  void Retrieve();
  void ShiftReceipt();
  void Reprint();
  void OpenDrawer();
  void CloseShift();

  // "实收: ... 找零: ..." of the last settled sale until the next sale has its first line.
  QString SettledText();

 private:
  QWidget* screen_;
  sale::CurrentSale& sale_;
  SaleDialogs& dialogs_;
  sale::CustomerDisplay& display_;
  QString settled_text_;
};

}  // namespace ui
