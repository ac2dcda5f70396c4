#include "ui/sale/SalesFrontDialog.h"

#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <exception>

#include "core/common/clock.h"
#include "core/sale/member_pricing.h"
#include "core/sale/process_entry.h"
#include "core/sale/record_lists.h"
#include "core/sale/sale_lines.h"
#include "core/sale/settlement.h"
#include "core/sale/suspended.h"
#include "core/sale/till_duties.h"
#include "core/servicelib/kasso_basic.h"
#include "ui/common/MessageBox.h"
#include "ui/common/StatusPanes.h"
#include "ui/sale/IdleLock.h"
#include "ui/sale/RecordListDialog.h"
#include "ui/sale/SaleColumnWidths.h"
#include "ui/sale/SaleLinesModel.h"
#include "ui/sale/TillSlips.h"
#include "ui_SalesFrontDialog.h"

namespace ui {
namespace {

QFont ScreenFont(int pixel_size) {
  QFont font("宋体");
  font.setPixelSize(pixel_size);
  font.setWeight(QFont::Black);
  return font;
}

}  // namespace

SalesFrontDialog::SalesFrontDialog(QWidget* parent, const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::SalesFrontDialog>()),
      model_(new SaleLinesModel(sale_, AllSaleColumns(), this)),
      display_(display_handle_),
      dialogs_(this) {
  ui_->setupUi(this);
  idle_lock_ = new IdleLock(this, workno);
  ui_->discountButton->hide();
  ui_->allowanceButton->hide();

  QFont big = ScreenFont(30);
  QFont normal = ScreenFont(15);
  ui_->totalLabel->setFont(big);
  // What the last customer paid and gets back stays in sight while the change is counted.
  ui_->changeLabel->setFont(big);
  ui_->changeLabel->setStyleSheet("color: #0000c0");
  ui_->barcodeLabel->setFont(normal);
  ui_->entryEdit->setFont(normal);
  ui_->lineTable->setFont(normal);
  for (QPushButton* button : findChildren<QPushButton*>()) button->setFont(normal);

  ui_->lineTable->setModel(model_);
  ui_->lineTable->verticalHeader()->hide();
  // The columns follow the list's width (see eventFilter) and lines, so all thirteen stay in
  // view.
  FitSaleColumns(*ui_->lineTable, *model_, model_->columnCount());
  // Clicking a line selects it; the cursor stays in the entry field.
  ui_->lineTable->installEventFilter(this);
  ui_->lineTable->viewport()->installEventFilter(this);
  connect(ui_->lineTable, &QTableView::clicked, this, [this](const QModelIndex& index) {
    sale_.selected = index.row();
    ui_->entryEdit->setFocus();
  });
  ui_->entryEdit->installEventFilter(this);

  const StatusBar status = MakeStatusBar(this, {{"numberPane", 1},
                                                {"operatorPane", 1},
                                                {"memberPane", 5},
                                                {"serverPane", 2},
                                                {"clockPane", 1}});
  number_pane_ = status.panes[0];
  operator_pane_ = status.panes[1];
  member_pane_ = status.panes[2];
  server_pane_ = status.panes[3];
  clock_pane_ = status.panes[4];
  ui_->mainLayout->addWidget(status.bar);

  connect(ui_->memberButton, &QPushButton::clicked, this, &SalesFrontDialog::OnMemberKey);
  connect(ui_->exitButton, &QPushButton::clicked, this, &SalesFrontDialog::reject);
  connect(ui_->settleButton, &QPushButton::clicked, this, &SalesFrontDialog::OnSettle);
  connect(ui_->shiftSettleButton, &QPushButton::clicked, this, &SalesFrontDialog::OnCloseShift);
  connect(ui_->shiftReceiptButton, &QPushButton::clicked, this, &SalesFrontDialog::OnShiftReceipt);
  connect(ui_->drawerButton, &QPushButton::clicked, this, &SalesFrontDialog::OnOpenDrawer);
  connect(ui_->reprintButton, &QPushButton::clicked, this, &SalesFrontDialog::OnReprint);
  connect(ui_->suspendButton, &QPushButton::clicked, this, &SalesFrontDialog::OnSuspend);
  connect(ui_->retrieveButton, &QPushButton::clicked, this, &SalesFrontDialog::OnRetrieve);

  sale_.workno = workno.toStdString();
  try {
    sale_.operator_name = servicelib::GetOperatorName(sale_.workno);
  } catch (const std::exception&) {
    sale_.operator_name.clear();
  }

  clock_.setInterval(kClockMs);
  connect(&clock_, &QTimer::timeout, this, &SalesFrontDialog::TickClock);
  clock_.start();
  TickClock();
  QTimer::singleShot(kFirstFocusMs, this, [this] { ui_->entryEdit->setFocus(); });

  sale::NewSale(sale_);
  Refresh();
  ui_->entryEdit->setFocus();
  setWindowState(windowState() | Qt::WindowMaximized);
}

void SalesFrontDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The display port belongs to the screen the cashier sees, from its first showing on.
  if (display_opened_) return;
  display_opened_ = true;
  display_handle_ = devices::OpenCustomerDisplay();
  if (!display_handle_.warning.empty()) {
    ui::ShowMessage(this, QString::fromStdString(display_handle_.warning), "提示");
  }
}

SalesFrontDialog::~SalesFrontDialog() { CloseCustomerDisplay(); }

void SalesFrontDialog::CloseCustomerDisplay() { display_handle_.port.reset(); }

void SalesFrontDialog::reject() {
  if (!sale_.lines.empty() && !ui::AskYesNo(this, "有未结账的流水,是否退出")) {
    ui_->entryEdit->setFocus();
    return;
  }
  clock_.stop();
  CloseCustomerDisplay();
  QDialog::reject();
}

bool SalesFrontDialog::eventFilter(QObject* watched, QEvent* event) {
  bool on_table = watched == ui_->lineTable || watched == ui_->lineTable->viewport();
  if (watched == ui_->lineTable->viewport() && event->type() == QEvent::Resize) {
    FitSaleColumns(*ui_->lineTable, *model_, model_->columnCount());
  }
  if (on_table && event->type() == QEvent::FocusIn) {
    ui_->entryEdit->setFocus();
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key_event = static_cast<QKeyEvent*>(event);
    int key = key_event->key();
    if (watched == ui_->entryEdit && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      OnEnter();
      return true;
    }
    if ((watched == ui_->entryEdit || on_table) && HandleKey(key)) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void SalesFrontDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter && HandleKey(event->key())) {
    return;
  }
  QDialog::keyPressEvent(event);
}

bool SalesFrontDialog::HandleKey(int key) {
  switch (key) {
    case Qt::Key_Escape:
      reject();
      return true;
    case Qt::Key_F4:
      OnMemberKey();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      SelectLine(key == Qt::Key_Up);
      return true;
    case Qt::Key_F2:
      OnShiftReceipt();
      return true;
    case Qt::Key_F3:
      OnOpenDrawer();
      return true;
    case Qt::Key_F5:
      OnReprint();
      return true;
    case Qt::Key_F9:
      OnSuspend();
      return true;
    case Qt::Key_F10:
      OnRetrieve();
      return true;
    case Qt::Key_F12:
      OnCloseShift();
      return true;
    default:
      return false;
  }
}

void SalesFrontDialog::OnEnter() {
  // The engine reports refusals itself; anything it throws beyond them is shown, never lost
  // in the event loop, and the entry keeps its text.
  RunGuarded(this, [this] {
    sale::EntryResult result =
        sale::ProcessEntry(sale_, ui_->entryEdit->text().toStdString(), dialogs_, display_);
    switch (result.outcome) {
      case sale::EntryOutcome::kDone:
        ui_->entryEdit->clear();
        break;
      case sale::EntryOutcome::kKeepEntry:
        ui_->entryEdit->selectAll();
        break;
      case sale::EntryOutcome::kSettle:
        Settle();
        break;
      case sale::EntryOutcome::kPettyCash:
        if (sale::PettyCash(sale_, result.petty_cash_amount, dialogs_, display_) ==
            sale::EntryOutcome::kDone) {
          ui_->entryEdit->clear();
        } else {
          ui_->entryEdit->selectAll();
        }
        break;
    }
  });
  AfterTillDuty();
}

void SalesFrontDialog::OnSettle() {
  RunGuarded(this, [this] { Settle(); });
  AfterTillDuty();
}

void SalesFrontDialog::Settle() {
  const sale::SettleResult result = sale::SettleSale(sale_, dialogs_, dialogs_, display_);
  if (result.outcome == sale::SettleOutcome::kCommitted) {
    settled_text_ = QString::fromStdString(sale::SettledText(result));
  }
}

void SalesFrontDialog::ShowProblems(const std::vector<std::string>& messages) {
  for (const std::string& message : messages) {
    if (!message.empty()) ui::ShowMessage(this, QString::fromStdString(message));
  }
}

void SalesFrontDialog::AfterTillDuty() {
  Refresh();
  ui_->entryEdit->setFocus();
}

void SalesFrontDialog::OnShiftReceipt() {
  RunGuarded(this, [this] { ShiftSlipOfChosenShift(this); });
  AfterTillDuty();
}

void SalesFrontDialog::OnOpenDrawer() {
  RunGuarded(this, [this] { ShowProblems(sale::OpenDrawer(sale_.workno)); });
  AfterTillDuty();
}

void SalesFrontDialog::OnReprint() {
  RunGuarded(this, [this] { ReprintChosenReceipt(this); });
  AfterTillDuty();
}

void SalesFrontDialog::OnSuspend() {
  RunGuarded(this, [this] { sale::SuspendSale(sale_, dialogs_, display_); });
  AfterTillDuty();
}

void SalesFrontDialog::OnRetrieve() {
  RunGuarded(this, [this] {
    sale::RetrieveSale(sale_, dialogs_, display_, [this] {
      return RecordListDialog::ChooseNumber(this, sale::kSuspendedBillsMode);
    });
  });
  AfterTillDuty();
}

void SalesFrontDialog::OnCloseShift() {
  RunGuarded(this, [this] { CloseShiftShowingSlip(this, sale_.workno); });
  AfterTillDuty();
}

void SalesFrontDialog::OnMemberKey() {
  RunGuarded(this, [this] { sale::AttachMember(sale_, dialogs_, display_); });
  AfterTillDuty();
}

void SalesFrontDialog::SelectLine(bool up) {
  if (up) {
    sale::SelectPreviousLine(sale_);
  } else {
    sale::SelectNextLine(sale_);
  }
  Refresh();
}

void SalesFrontDialog::TickClock() {
  clock_pane_->setText(QString::fromStdString(kasso::FormatTime(kasso::Now(), "%H:%M:%S")));
  server_pane_->setText(ServerStatusText());
}

void SalesFrontDialog::Refresh() {
  model_->Reload();
  FitSaleColumns(*ui_->lineTable, *model_, model_->columnCount());
  // The last sale's payment stays until the next sale has its first line.
  if (!sale_.lines.empty()) settled_text_.clear();
  ui_->changeLabel->setText(settled_text_);
  if (sale_.HasSelection()) {
    QModelIndex row = model_->index(sale_.selected, 0);
    ui_->lineTable->selectionModel()->select(
        row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui_->lineTable->setCurrentIndex(row);
    ui_->lineTable->scrollTo(row);
  } else {
    ui_->lineTable->clearSelection();
  }
  ui_->totalLabel->setText(QString::fromStdString(sale_.total_caption));
  number_pane_->setText(QString::fromStdString(sale::SaleNumberText(sale_)));
  operator_pane_->setText(QString::fromStdString(sale::OperatorText(sale_)));
  member_pane_->setText(QString::fromStdString(sale_.member_pane));
  ui_->memberButton->setText(QString::fromStdString(sale::MemberButtonCaption(sale_)));
}

}  // namespace ui
