#include "ui/touch/TouchFrontDialog.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <exception>

#include "core/common/clock.h"
#include "core/sale/sale_lines.h"
#include "core/servicelib/kasso_basic.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui/common/StatusPanes.h"
#include "ui/sale/IdleLock.h"
#include "ui/sale/SaleCaptions.h"
#include "ui/sale/SaleColumnWidths.h"
#include "ui/sale/SaleLinesModel.h"
#include "ui/touch/TouchMetrics.h"
#include "ui/touch/TouchNumberPad.h"
#include "ui_TouchFrontDialog.h"

namespace ui {
namespace {

constexpr double kTotalTypeMm = 12.0;
constexpr double kEntryTypeMm = 5.0;
constexpr double kListTypeMm = 3.5;
constexpr double kListRowMm = 8.0;
constexpr const char* kMemberCaption = "会员";
// "名称", "数量", "价格", "金额": what the customer asks about stays in view.
constexpr int kColumnsInView = 4;

// The line list's twelve columns: what a customer asks about first, then the rest of the line.
std::vector<LineColumn> TouchLineColumns() {
  return {{"名称", kGoodsName},      {"数量", kQuantity},     {"价格", kPrice},
          {"金额", kAmount},         {"条码", kBarcode},      {"售价", kSalesPrice},
          {"会员价", kMemberPrice},  {"前台价", kFrontPrice}, {"前台折扣", kFrontRate},
          {"会员折扣", kMemberRate}, {"折扣率", kRate},       {"折扣金额", kDiscountAmount}};
}

// One command button on one page: its caption and its command.
struct CommandKey {
  const char* caption;
  TouchCommand command;
};
using CommandPage = std::array<CommandKey, TouchFrontDialog::kCommandCount>;

// The two command pages; a button without a caption does nothing there. The member button's
// main caption follows the sale (see MemberCaption).
constexpr CommandPage kMainPage = {{{"数量", TouchCommand::kQuantity},
                                    {"单品取消", TouchCommand::kCancelLine},
                                    {"整单取消", TouchCommand::kCancelBill},
                                    {"补票打印", TouchCommand::kReprint},
                                    {"结算", TouchCommand::kSettle},
                                    {kMemberCaption, TouchCommand::kMember},
                                    {"班次结账", TouchCommand::kCloseShift},
                                    {"班结小票", TouchCommand::kShiftReceipt},
                                    {"其他", TouchCommand::kOtherPage},
                                    {"退出", TouchCommand::kExit}}};
constexpr CommandPage kOtherPage = {{{"挂单", TouchCommand::kSuspend},
                                     {"修改单价", TouchCommand::kChangePrice},
                                     {"单品打折", TouchCommand::kItemDiscount},
                                     {"", TouchCommand::kNone},
                                     {"", TouchCommand::kNone},
                                     {"取单", TouchCommand::kRetrieve},
                                     {"备用金", TouchCommand::kPettyCash},
                                     {"整单打折", TouchCommand::kBillDiscount},
                                     {"主界面", TouchCommand::kMainPage},
                                     {"", TouchCommand::kNone}}};
constexpr int kMemberButton = 5;

const CommandPage& PageOf(bool other) { return other ? kOtherPage : kMainPage; }

QString MemberCaption(const sale::CurrentSale& sale) {
  return QString::fromUtf8(sale.HasMember() ? "普通客户" : kMemberCaption);
}

// A goods name on a button: as many characters as fit on each of two lines, the second line
// ending in "…" when the name is longer still.
QString FitOnTwoLines(const QString& name, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(name) <= width) return name;
  int cut = 1;
  while (cut < name.size() && metrics.horizontalAdvance(name.left(cut + 1)) <= width) ++cut;
  return name.left(cut) + QLatin1Char('\n') +
         metrics.elidedText(name.mid(cut), Qt::ElideRight, width);
}

}  // namespace

TouchFrontDialog::TouchFrontDialog(QWidget* parent, const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TouchFrontDialog>()),
      model_(new SaleLinesModel(sale_, TouchLineColumns(), this)),
      display_(display_handle_),
      dialogs_(this),
      commands_(this, sale_, dialogs_, display_) {
  ui_->setupUi(this);
  idle_lock_ = new IdleLock(this, workno);
  class_buttons_ = {ui_->classButton0, ui_->classButton1, ui_->classButton2, ui_->classButton3,
                    ui_->classButton4};
  for (int i = 0; i < sale::kGoodsPageSize; ++i) {
    goods_buttons_[static_cast<size_t>(i)] =
        findChild<QPushButton*>(QStringLiteral("goodsButton%1").arg(i));
  }
  for (int i = 0; i < kCommandCount; ++i) {
    command_buttons_[static_cast<size_t>(i)] =
        findChild<QPushButton*>(QStringLiteral("commandButton%1").arg(i + 1));
  }
  SetUpLook();
  SetUpStatusBar();
  ConnectButtons();

  sale_.workno = workno.toStdString();
  try {
    sale_.operator_name = servicelib::GetOperatorName(sale_.workno);
  } catch (const std::exception&) {
    sale_.operator_name.clear();
  }
  clock_.setInterval(kClockMs);
  connect(&clock_, &QTimer::timeout, this, &TouchFrontDialog::TickClock);
  clock_.start();
  TickClock();

  Page([this](store::Database& db) { pages_.Open(db); });
  ShowCommandPage(false);
  sale::NewSale(sale_);
  Refresh();
  setWindowState(windowState() | Qt::WindowMaximized);
}

TouchFrontDialog::~TouchFrontDialog() = default;

void TouchFrontDialog::SetUpLook() {
  // The group captions first: the fonts set below on the controls are their own.
  for (QGroupBox* group : findChildren<QGroupBox*>()) SetFontHeight(*group, kListTypeMm);
  for (QPushButton* button : findChildren<QPushButton*>()) {
    MakeFingerButton(*button);
    // A hidden class or goods button keeps its place, so the others never move.
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
  }
  SetFontHeight(*ui_->totalLabel, kTotalTypeMm);
  // What the last customer paid and gets back stays in sight while the change is counted.
  SetFontHeight(*ui_->changeLabel, kEntryTypeMm);
  ui_->changeLabel->setStyleSheet("color: #0000c0");
  SetFontHeight(*ui_->barcodeLabel, kEntryTypeMm);
  SetFontHeight(*ui_->barcodeEdit, kEntryTypeMm);
  ui_->barcodeEdit->setMinimumHeight(MillimetresToPixels(*this, kFingerMm * 0.7));
  SetFontHeight(*ui_->lineTable, kListTypeMm, false);

  QTableView& table = *ui_->lineTable;
  table.setModel(model_);
  table.setSelectionBehavior(QAbstractItemView::SelectRows);
  table.setSelectionMode(QAbstractItemView::SingleSelection);
  table.setEditTriggers(QAbstractItemView::NoEditTriggers);
  table.setFocusPolicy(Qt::NoFocus);
  table.verticalHeader()->hide();
  table.verticalHeader()->setDefaultSectionSize(MillimetresToPixels(*this, kListRowMm));
  // The name, quantity, price and amount stay in view; the rest of the line scrolls.
  table.viewport()->installEventFilter(this);
  connect(&table, &QTableView::clicked, this, [this](const QModelIndex& index) {
    sale_.selected = index.row();
    Refresh();
  });
  ui_->barcodeEdit->installEventFilter(this);
}

void TouchFrontDialog::SetUpStatusBar() {
  const StatusBar status = MakeStatusBar(this, {{"operatorPane", 1},
                                                {"memberPane", 5},
                                                {"serverPane", 2},
                                                {"clockPane", 1},
                                                {"numberPane", 1}});
  operator_pane_ = status.panes[0];
  member_pane_ = status.panes[1];
  server_pane_ = status.panes[2];
  clock_pane_ = status.panes[3];
  number_pane_ = status.panes[4];
  SetFontHeight(*status.bar, kListTypeMm, false);
  ui_->mainLayout->addWidget(status.bar);
}

void TouchFrontDialog::ConnectButtons() {
  connect(ui_->classNextButton, &QPushButton::clicked, this,
          [this] { Page([this](store::Database& db) { pages_.NextClassPage(db); }); });
  connect(ui_->classPrevButton, &QPushButton::clicked, this,
          [this] { Page([this](store::Database& db) { pages_.PreviousClassPage(db); }); });
  connect(ui_->goodsNextButton, &QPushButton::clicked, this,
          [this] { Page([this](store::Database& db) { pages_.NextGoodsPage(db); }); });
  connect(ui_->goodsPrevButton, &QPushButton::clicked, this,
          [this] { Page([this](store::Database& db) { pages_.PreviousGoodsPage(db); }); });
  connect(ui_->allClassButton, &QPushButton::clicked, this,
          [this] { Page([this](store::Database& db) { pages_.ChooseClass(db, std::nullopt); }); });
  for (size_t i = 0; i < class_buttons_.size(); ++i) {
    connect(class_buttons_[i], &QPushButton::clicked, this, [this, i] {
      if (i >= pages_.classes().size()) return;
      const std::string chosen = pages_.classes()[i];
      Page([this, chosen](store::Database& db) { pages_.ChooseClass(db, chosen); });
    });
  }
  for (size_t i = 0; i < goods_buttons_.size(); ++i) {
    connect(goods_buttons_[i], &QPushButton::clicked, this,
            [this, i] { OnGoodsButton(static_cast<int>(i)); });
  }
  for (size_t i = 0; i < command_buttons_.size(); ++i) {
    connect(command_buttons_[i], &QPushButton::clicked, this,
            [this, i] { OnCommand(static_cast<int>(i)); });
  }
}

template <typename Step>
void TouchFrontDialog::Page(Step step) {
  bool readable = true;
  try {
    store::Database db;
    step(db);
  } catch (const std::exception& error) {
    // The pages stay as they were; on opening that is no buttons at all.
    readable = !pages_.classes().empty() || !pages_.goods().empty();
    if (readable) ui::ShowMessage(this, ErrorText(error));
  }
  ShowClassButtons(readable);
  ShowGoodsButtons();
  ui_->barcodeEdit->setFocus();
}

void TouchFrontDialog::ShowClassButtons(bool readable) {
  const std::vector<std::string>& classes = pages_.classes();
  for (size_t i = 0; i < class_buttons_.size(); ++i) {
    const bool shown = readable && i < classes.size();
    class_buttons_[i]->setText(shown ? QString::fromStdString(classes[i]) : QString());
    class_buttons_[i]->setVisible(shown);
  }
}

void TouchFrontDialog::ShowGoodsButtons() {
  const std::vector<sale::GoodsButton>& goods = pages_.goods();
  for (size_t i = 0; i < goods_buttons_.size(); ++i) {
    goods_buttons_[i]->setVisible(i < goods.size());
  }
  FitGoodsCaptions();
}

void TouchFrontDialog::FitGoodsCaptions() {
  const std::vector<sale::GoodsButton>& goods = pages_.goods();
  for (size_t i = 0; i < goods_buttons_.size() && i < goods.size(); ++i) {
    QPushButton& button = *goods_buttons_[i];
    const int room = button.width() - MillimetresToPixels(button, 2.0);
    button.setText(FitOnTwoLines(QString::fromStdString(goods[i].goodsname),
                                 QFontMetrics(button.font()), room));
  }
}

void TouchFrontDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The buttons have their new sizes once the layout ran.
  QTimer::singleShot(0, this, &TouchFrontDialog::FitGoodsCaptions);
}

void TouchFrontDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (display_opened_) return;
  display_opened_ = true;
  // Without a display the screen works on; the display is not the cashier's concern here.
  servicelib::ExOpenPanel(display_handle_);
}

void TouchFrontDialog::reject() {
  if (!sale_.lines.empty() && !ui::AskYesNo(this, "有未结账的流水,是否退出")) {
    Refresh();
    return;
  }
  clock_.stop();
  display_handle_.port.reset();
  QDialog::reject();
}

bool TouchFrontDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->lineTable->viewport() && event->type() == QEvent::Resize) {
    FitSaleColumns(*ui_->lineTable, *model_, kColumnsInView);
  }
  if (watched == ui_->barcodeEdit && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnBarcodeEnter();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TouchFrontDialog::OnGoodsButton(int index) {
  const std::vector<sale::GoodsButton>& goods = pages_.goods();
  if (index < static_cast<int>(goods.size())) {
    commands_.AddGoodsByButton(goods[static_cast<size_t>(index)].barcode);
  }
  Refresh();
}

void TouchFrontDialog::OnBarcodeEnter() {
  const std::string text = ui_->barcodeEdit->text().trimmed().toStdString();
  if (text.empty()) return;
  if (commands_.ScanBarcode(text) == sale::ScanResult::kBusy) {
    ui_->barcodeEdit->selectAll();  // the scan is kept for another try
  } else {
    ui_->barcodeEdit->clear();
  }
  Refresh();
}

void TouchFrontDialog::OnCommand(int index) {
  Run(PageOf(other_page_).at(static_cast<size_t>(index)).command);
}

void TouchFrontDialog::Run(TouchCommand command) {
  switch (command) {
    case TouchCommand::kNone:
      return;
    case TouchCommand::kExit:
      reject();
      return;
    case TouchCommand::kOtherPage:
    case TouchCommand::kMainPage:
      ShowCommandPage(command == TouchCommand::kOtherPage);
      break;
    // A line command needs a line to act on; without one no pad is opened.
    case TouchCommand::kQuantity:
      if (sale_.HasSelection()) RunNumberPad(sale::PadMode::kQuantity);
      break;
    case TouchCommand::kChangePrice:
      if (sale_.HasSelection()) RunNumberPad(sale::PadMode::kPrice);
      break;
    case TouchCommand::kItemDiscount:
      if (sale_.HasSelection()) RunNumberPad(sale::PadMode::kItemDiscount);
      break;
    case TouchCommand::kBillDiscount:
      if (!sale_.lines.empty()) RunNumberPad(sale::PadMode::kBillDiscount);
      break;
    case TouchCommand::kPettyCash:
      if (commands_.MayBookPettyCash()) RunNumberPad(sale::PadMode::kPettyCash);
      break;
    case TouchCommand::kCancelLine:
      commands_.CancelLine();
      break;
    case TouchCommand::kCancelBill:
      commands_.CancelBill();
      break;
    case TouchCommand::kSettle:
      commands_.Settle("没有流水，无法结算");
      break;
    case TouchCommand::kMember:
      commands_.ToggleMember();
      break;
    case TouchCommand::kReprint:
      commands_.Reprint();
      break;
    case TouchCommand::kShiftReceipt:
      commands_.ShiftReceipt();
      break;
    case TouchCommand::kCloseShift:
      commands_.CloseShift();
      break;
    case TouchCommand::kSuspend:
      commands_.Suspend();
      break;
    case TouchCommand::kRetrieve:
      commands_.Retrieve();
      break;
  }
  Refresh();
}

void TouchFrontDialog::ShowCommandPage(bool other) {
  other_page_ = other;
  const CommandPage& page = PageOf(other);
  for (size_t i = 0; i < command_buttons_.size(); ++i) {
    command_buttons_[i]->setText(QString::fromUtf8(page[i].caption));
    command_buttons_[i]->setEnabled(page[i].command != TouchCommand::kNone);
  }
  if (!other) command_buttons_[kMemberButton]->setText(MemberCaption(sale_));
}

void TouchFrontDialog::RunNumberPad(sale::PadMode mode) {
  TouchNumberPad pad(this, mode);
  if (pad.exec() == QDialog::Accepted) commands_.ApplyPadNumber(mode, pad.text().toStdString());
}

void TouchFrontDialog::TickClock() {
  clock_pane_->setText(QString::fromStdString(common::FormatTime(common::Now(), "%H:%M:%S")));
  server_pane_->setText(ServerStatusText());
}

void TouchFrontDialog::Refresh() {
  ShowSaleLines(*ui_->lineTable, *model_, sale_, kColumnsInView);
  ui_->changeLabel->setText(commands_.SettledText());
  ui_->totalLabel->setText(FormatMoney(sale_.total));
  operator_pane_->setText(OperatorText(sale_));
  member_pane_->setText(MemberPaneText(sale_));
  number_pane_->setText(SaleNumberText(sale_));
  if (!other_page_) command_buttons_[kMemberButton]->setText(MemberCaption(sale_));
  ui_->barcodeEdit->setFocus();
}

}  // namespace ui
