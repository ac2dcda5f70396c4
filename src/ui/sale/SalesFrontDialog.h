#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "core/devices/customer_display.h"
#include "core/sale/current_sale.h"
#include "ui/sale/SaleDialogs.h"

class QLabel;

namespace Ui {
class SalesFrontDialog;
}

namespace ui {

class IdleLock;

class SaleLinesModel;

// "销售": the keyboard cashier screen. Holds the sale being rung up, sends every Enter in the
// entry field to the sale engine and shows the result: the lines, the total, the sale number,
// the operator, the member and a clock. The entry field keeps the focus throughout, so a
// barcode scanner can type scan after scan. It opens maximised with every column in view, and
// opens the pole display when it is first shown.
class SalesFrontDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(SalesFrontDialog)

 public:
  static constexpr int kClockMs = 1000;
  static constexpr int kFirstFocusMs = 100;

  SalesFrontDialog(QWidget* parent, const QString& workno);
  ~SalesFrontDialog() override;

  const sale::CurrentSale& current_sale() const { return sale_; }
  IdleLock& idle_lock() { return *idle_lock_; }

  // Esc and "ESC 退出": asks first when lines are not settled yet.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The screen's keys; true when the key was one of them.
  bool HandleKey(int key);
  void OnEnter();
  // Enter on the empty entry field and "结算(回车键)": the payment dialog, then the commit.
  void OnSettle();
  void Settle();
  void OnMemberKey();
  // The till duties: F2 shift receipt, F3 drawer, F5 reprint, F9 park, F10 take back,
  // F12 shift settlement.
  void OnShiftReceipt();
  void OnOpenDrawer();
  void OnReprint();
  void OnSuspend();
  void OnRetrieve();
  void OnCloseShift();
  void AfterTillDuty();
  // Shows each non-empty message in a "确认" box.
  void ShowProblems(const std::vector<std::string>& messages);
  void SelectLine(bool up);
  void TickClock();
  // Shows the sale as it now stands.
  void Refresh();
  void CloseCustomerDisplay();

  std::unique_ptr<Ui::SalesFrontDialog> ui_;
  sale::CurrentSale sale_;
  SaleLinesModel* model_;
  devices::CustomerDisplayHandle display_handle_;
  bool display_opened_ = false;
  PoleDisplay display_;
  SaleDialogs dialogs_;
  QLabel* number_pane_;
  QLabel* operator_pane_;
  QLabel* member_pane_;
  QLabel* server_pane_;  // the shop server's state, empty on a till that has not joined
  QLabel* clock_pane_;
  QTimer clock_;
  QString settled_text_;           // "实收 / 找零" of the last sale, until the next one starts
  IdleLock* idle_lock_ = nullptr;  // covers the screen when it is left alone
};

}  // namespace ui
