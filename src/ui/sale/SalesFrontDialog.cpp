#include "ui/sale/SalesFrontDialog.h"

#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <exception>
#include <utility>

#include "core/common/clock.h"
#include "core/sale/process_entry.h"
#include "core/sale/sale_lines.h"
#include "core/servicelib/kasso_basic.h"
#include "ui/common/MessageBox.h"
#include "ui/common/StatusPanes.h"
#include "ui/sale/IdleLock.h"
#include "ui/sale/SaleCaptions.h"
#include "ui/sale/SaleColumnWidths.h"
#include "ui/sale/SaleLinesModel.h"
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
      dialogs_(this),
      commands_(this, sale_, dialogs_, display_) {
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

  connect(ui_->exitButton, &QPushButton::clicked, this, &SalesFrontDialog::reject);
  const std::pair<QPushButton*, Command> buttons[] = {
      {ui_->memberButton, &CashierCommands::ToggleMember},
      {ui_->shiftSettleButton, &CashierCommands::CloseShift},
      {ui_->shiftReceiptButton, &CashierCommands::ShiftReceipt},
      {ui_->drawerButton, &CashierCommands::OpenDrawer},
      {ui_->reprintButton, &CashierCommands::Reprint},
      {ui_->suspendButton, &CashierCommands::Suspend},
      {ui_->retrieveButton, &CashierCommands::Retrieve},
  };
  for (const auto& button : buttons) {
    const Command command = button.second;
    connect(button.first, &QPushButton::clicked, this, [this, command] { Run(command); });
  }
  connect(ui_->settleButton, &QPushButton::clicked, this, [this] {
    commands_.Settle();
    AfterCommand();
  });

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
      Run(&CashierCommands::ToggleMember);
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      SelectLine(key == Qt::Key_Up);
      return true;
    case Qt::Key_F2:
      Run(&CashierCommands::ShiftReceipt);
      return true;
    case Qt::Key_F3:
      Run(&CashierCommands::OpenDrawer);
      return true;
    case Qt::Key_F5:
      Run(&CashierCommands::Reprint);
      return true;
    case Qt::Key_F9:
      Run(&CashierCommands::Suspend);
      return true;
    case Qt::Key_F10:
      Run(&CashierCommands::Retrieve);
      return true;
    case Qt::Key_F12:
      Run(&CashierCommands::CloseShift);
      return true;
    default:
      return false;
  }
}

void SalesFrontDialog::OnEnter() {
  switch (commands_.Enter(ui_->entryEdit->text().toStdString())) {
    case sale::EntryOutcome::kDone:
      ui_->entryEdit->clear();
      break;
    case sale::EntryOutcome::kKeepEntry:
      ui_->entryEdit->selectAll();
      break;
    case sale::EntryOutcome::kSettle:
    case sale::EntryOutcome::kPettyCash:
      break;  // run by the command itself
  }
  AfterCommand();
}

void SalesFrontDialog::AfterCommand() {
  Refresh();
  ui_->entryEdit->setFocus();
}

// Each key or button runs the command both cashier screens share, then shows the sale.
void SalesFrontDialog::Run(void (CashierCommands::*command)()) {
  (commands_.*command)();
  AfterCommand();
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
  clock_pane_->setText(QString::fromStdString(common::FormatTime(common::Now(), "%H:%M:%S")));
  server_pane_->setText(ServerStatusText());
}

void SalesFrontDialog::Refresh() {
  ShowSaleLines(*ui_->lineTable, *model_, sale_, model_->columnCount());
  ui_->changeLabel->setText(commands_.SettledText());
  ui_->totalLabel->setText(TotalCaption(sale_));
  number_pane_->setText(SaleNumberText(sale_));
  operator_pane_->setText(OperatorText(sale_));
  member_pane_->setText(MemberPaneText(sale_));
  ui_->memberButton->setText(MemberButtonCaption(sale_));
}

}  // namespace ui
