#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "core/devices/customer_display.h"
#include "core/sale/current_sale.h"
#include "core/sale/touch_entry.h"
#include "core/sale/touch_pages.h"
#include "ui/touch/TouchDialogs.h"

class QLabel;
class QPushButton;

namespace Ui {
class TouchFrontDialog;
}

namespace ui {

class IdleLock;

class SaleLinesModel;

// "计价秤前台": the cashier screen for a touch panel beside a scale. Goods are chosen with class
// and goods buttons (or scanned into the barcode box), numbers are typed on keypads, and every
// rule of the sale is the sale engine's, the same the keyboard screen drives. The ten command
// buttons have two pages; each button acts on the caption it shows.
class TouchFrontDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchFrontDialog)

 public:
  static constexpr int kClockMs = 1000;
  static constexpr int kCommandCount = 10;

  TouchFrontDialog(QWidget* parent, const QString& workno);
  ~TouchFrontDialog() override;

  const sale::CurrentSale& current_sale() const { return sale_; }
  IdleLock& idle_lock() { return *idle_lock_; }

  // "退出" and the window's close: asks first when lines are not settled yet.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  using Handler = void (TouchFrontDialog::*)();
  struct Command {
    const char* caption;
    Handler handler;
  };

  void SetUpLook();
  void SetUpStatusBar();
  void ConnectButtons();

  // Paging: runs a step of the pages against kasso.db and shows the buttons.
  template <typename Step>
  void Page(Step step);
  void ShowClassButtons(bool readable);
  void ShowGoodsButtons();
  void FitGoodsCaptions();

  void OnGoodsButton(int index);
  void OnBarcodeEnter();
  void OnCommand(int index);
  void ShowCommandPage(bool other);

  // The command handlers, by caption.
  void OnQuantity();
  void OnCancelLine();
  void OnCancelBill();
  void OnReprint();
  void OnSettle();
  void OnMember();
  void OnCloseShift();
  void OnShiftReceipt();
  void OnOtherPage();
  void OnMainPage();
  void OnSuspend();
  void OnChangePrice();
  void OnItemDiscount();
  void OnRetrieve();
  void OnPettyCash();
  void OnBillDiscount();

  // The number pad in that mode, its number applied to the sale.
  void RunNumberPad(sale::PadMode mode);
  void TickClock();
  // Shows the sale as it now stands and gives the barcode box the focus back.
  void Refresh();

  static const std::array<Command, 18> kCommands;

  std::unique_ptr<Ui::TouchFrontDialog> ui_;
  sale::CurrentSale sale_;
  sale::TouchPages pages_;
  SaleLinesModel* model_;
  devices::CustomerDisplayHandle display_handle_;
  bool display_opened_ = false;
  PoleDisplay display_;
  TouchDialogs dialogs_;
  std::array<QPushButton*, sale::kClassPageSize> class_buttons_{};
  std::array<QPushButton*, sale::kGoodsPageSize> goods_buttons_{};
  std::array<QPushButton*, kCommandCount> command_buttons_{};
  bool other_page_ = false;
  QLabel* operator_pane_;
  QLabel* member_pane_;
  QLabel* server_pane_;  // the shop server's state, empty on a till that has not joined
  QLabel* clock_pane_;
  QLabel* number_pane_;
  QTimer clock_;
  QString settled_text_;           // "实收 / 找零" of the last sale, until the next one starts
  IdleLock* idle_lock_ = nullptr;  // covers the screen when it is left alone
};

}  // namespace ui
