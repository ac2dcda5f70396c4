#include "ui/touch/TouchFrontDialog.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <exception>

#include "core/common/clock.h"
#include "core/sale/goods_entry.h"
#include "core/sale/member_pricing.h"
#include "core/sale/record_lists.h"
#include "core/sale/sale_lines.h"
#include "core/sale/settlement.h"
#include "core/sale/suspended.h"
#include "core/sale/till_duties.h"
#include "core/servicelib/kasso_basic.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui/common/StatusPanes.h"
#include "ui/sale/IdleLock.h"
#include "ui/sale/RecordListDialog.h"
#include "ui/sale/SaleColumnWidths.h"
#include "ui/sale/SaleLinesModel.h"
#include "ui/sale/TillSlips.h"
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
  return {{"名称", sale::kGoodsName},     {"数量", sale::kQuantity},
          {"价格", sale::kPrice},         {"金额", sale::kAmount},
          {"条码", sale::kBarcode},       {"售价", sale::kSalesPrice},
          {"会员价", sale::kMemberPrice}, {"前台价", sale::kFrontPrice},
          {"前台折扣", sale::kFrontRate}, {"会员折扣", sale::kMemberRate},
          {"折扣率", sale::kRate},        {"折扣金额", sale::kDiscountAmount}};
}

// The captions of the two command pages; an empty caption is a button that does nothing
// there. The member button's main caption follows the sale (see MemberCaption).
constexpr std::array<const char*, TouchFrontDialog::kCommandCount> kMainCaptions = {
    "数量",         "单品取消", "整单取消", "补票打印", "结算",
    kMemberCaption, "班次结账", "班结小票", "其他",     "退出"};
constexpr std::array<const char*, TouchFrontDialog::kCommandCount> kOtherCaptions = {
    "挂单", "修改单价", "单品打折", "", "", "取单", "备用金", "整单打折", "主界面", ""};
constexpr int kMemberButton = 5;

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

const std::array<TouchFrontDialog::Command, 18> TouchFrontDialog::kCommands = {{
    {"数量", &TouchFrontDialog::OnQuantity},
    {"单品取消", &TouchFrontDialog::OnCancelLine},
    {"整单取消", &TouchFrontDialog::OnCancelBill},
    {"补票打印", &TouchFrontDialog::OnReprint},
    {"结算", &TouchFrontDialog::OnSettle},
    {"会员", &TouchFrontDialog::OnMember},
    {"普通客户", &TouchFrontDialog::OnMember},
    {"班次结账", &TouchFrontDialog::OnCloseShift},
    {"班结小票", &TouchFrontDialog::OnShiftReceipt},
    {"其他", &TouchFrontDialog::OnOtherPage},
    {"退出", &TouchFrontDialog::reject},
    {"挂单", &TouchFrontDialog::OnSuspend},
    {"修改单价", &TouchFrontDialog::OnChangePrice},
    {"单品打折", &TouchFrontDialog::OnItemDiscount},
    {"取单", &TouchFrontDialog::OnRetrieve},
    {"备用金", &TouchFrontDialog::OnPettyCash},
    {"整单打折", &TouchFrontDialog::OnBillDiscount},
    {"主界面", &TouchFrontDialog::OnMainPage},
}};

TouchFrontDialog::TouchFrontDialog(QWidget* parent, const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TouchFrontDialog>()),
      model_(new SaleLinesModel(sale_, TouchLineColumns(), this)),
      display_(display_handle_),
      dialogs_(this) {
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
    const std::string barcode = goods[static_cast<size_t>(index)].barcode;
    if (sale::AddGoodsByButton(sale_, barcode, dialogs_) == sale::ScanResult::kAdded) {
      sale::ComputeTotal(sale_, display_);
    }
  }
  Refresh();
}

void TouchFrontDialog::OnBarcodeEnter() {
  const std::string text = ui_->barcodeEdit->text().trimmed().toStdString();
  if (text.empty()) return;
  const sale::ScanResult result = sale::AddGoodsByBarcode(sale_, text, dialogs_);
  if (result == sale::ScanResult::kBusy) {
    ui_->barcodeEdit->selectAll();  // the scan is kept for another try
  } else {
    ui_->barcodeEdit->clear();
  }
  if (result == sale::ScanResult::kAdded) sale::ComputeTotal(sale_, display_);
  Refresh();
}

void TouchFrontDialog::OnCommand(int index) {
  const QString caption = command_buttons_.at(static_cast<size_t>(index))->text();
  for (const Command& command : kCommands) {
    if (caption == QString::fromUtf8(command.caption)) {
      (this->*command.handler)();
      return;
    }
  }
}

void TouchFrontDialog::ShowCommandPage(bool other) {
  other_page_ = other;
  const auto& captions = other ? kOtherCaptions : kMainCaptions;
  for (size_t i = 0; i < command_buttons_.size(); ++i) {
    const QString caption = QString::fromUtf8(captions[i]);
    command_buttons_[i]->setText(caption);
    command_buttons_[i]->setEnabled(!caption.isEmpty());
  }
  if (!other) command_buttons_[kMemberButton]->setText(MemberCaption(sale_));
}

void TouchFrontDialog::OnOtherPage() {
  ShowCommandPage(true);
  Refresh();
}

void TouchFrontDialog::OnMainPage() {
  ShowCommandPage(false);
  Refresh();
}

void TouchFrontDialog::RunNumberPad(sale::PadMode mode) {
  TouchNumberPad pad(this, mode);
  if (pad.exec() == QDialog::Accepted) {
    sale::ApplyPadNumber(sale_, mode, pad.text().toStdString(), dialogs_, display_);
  }
  Refresh();
}

// A line command needs a line to act on; without one no pad is opened.
void TouchFrontDialog::OnQuantity() {
  if (sale_.HasSelection()) RunNumberPad(sale::PadMode::kQuantity);
}

void TouchFrontDialog::OnChangePrice() {
  if (sale_.HasSelection()) RunNumberPad(sale::PadMode::kPrice);
}

void TouchFrontDialog::OnItemDiscount() {
  if (sale_.HasSelection()) RunNumberPad(sale::PadMode::kItemDiscount);
}

void TouchFrontDialog::OnBillDiscount() {
  if (!sale_.lines.empty()) RunNumberPad(sale::PadMode::kBillDiscount);
}

void TouchFrontDialog::OnPettyCash() { RunNumberPad(sale::PadMode::kPettyCash); }

void TouchFrontDialog::OnCancelLine() {
  // The audit row comes first: a line whose removal cannot be recorded stays.
  if (!RunGuarded(this, [this] { sale::CancelLine(sale_); })) return;
  sale::ComputeTotal(sale_, display_);
  Refresh();
}

void TouchFrontDialog::OnCancelBill() {
  if (!RunGuarded(this, [this] { sale::CancelBill(sale_); })) return;
  sale::ComputeTotal(sale_, display_);
  Refresh();
}

void TouchFrontDialog::OnSettle() {
  if (sale_.lines.empty()) {
    ui::ShowMessage(this, "没有流水，无法结算");
  } else {
    const sale::SettleResult result = sale::SettleSale(sale_, dialogs_, dialogs_, display_);
    if (result.outcome == sale::SettleOutcome::kCommitted) {
      settled_text_ = QString::fromStdString(sale::SettledText(result));
    }
  }
  Refresh();
}

void TouchFrontDialog::OnMember() {
  try {
    sale::AttachMember(sale_, dialogs_, display_);
  } catch (const std::exception& error) {
    ui::ShowMessage(this, ErrorText(error));
  }
  Refresh();
}

void TouchFrontDialog::OnReprint() {
  RunGuarded(this, [this] { ReprintChosenReceipt(this); });
  Refresh();
}

void TouchFrontDialog::OnShiftReceipt() {
  RunGuarded(this, [this] { ShiftSlipOfChosenShift(this); });
  Refresh();
}

void TouchFrontDialog::OnCloseShift() {
  RunGuarded(this, [this] { CloseShiftShowingSlip(this, sale_.workno); });
  Refresh();
}

void TouchFrontDialog::OnSuspend() {
  sale::SuspendSale(sale_, dialogs_, display_);
  Refresh();
}

void TouchFrontDialog::OnRetrieve() {
  sale::RetrieveSale(sale_, dialogs_, display_, [this] {
    return RecordListDialog::ChooseNumber(this, sale::kSuspendedBillsMode);
  });
  Refresh();
}

void TouchFrontDialog::TickClock() {
  clock_pane_->setText(QString::fromStdString(kasso::FormatTime(kasso::Now(), "%H:%M:%S")));
  server_pane_->setText(ServerStatusText());
}

void TouchFrontDialog::Refresh() {
  model_->Reload();
  FitSaleColumns(*ui_->lineTable, *model_, kColumnsInView);
  // The last sale's payment stays until the next sale has its first line.
  if (!sale_.lines.empty()) settled_text_.clear();
  ui_->changeLabel->setText(settled_text_);
  if (sale_.HasSelection()) {
    const QModelIndex row = model_->index(sale_.selected, 0);
    ui_->lineTable->selectionModel()->select(
        row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui_->lineTable->scrollTo(row);
  } else {
    ui_->lineTable->clearSelection();
  }
  ui_->totalLabel->setText(FormatMoney(sale_.total));
  operator_pane_->setText(QString::fromStdString(sale::OperatorText(sale_)));
  member_pane_->setText(QString::fromStdString(sale_.member_pane));
  number_pane_->setText(QString::fromStdString(sale::SaleNumberText(sale_)));
  if (!other_page_) command_buttons_[kMemberButton]->setText(MemberCaption(sale_));
  ui_->barcodeEdit->setFocus();
}

}  // namespace ui
