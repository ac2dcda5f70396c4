// The cashier screen as a cashier drives it, through to receipts, parking and shift closing.

#include "ui/sale/SalesFrontDialog.h"

#include <QPushButton>
#include <QScrollBar>

#include "core/devices/port.h"
#include "core/devices/pty.h"
#include "core/sale/shift.h"
#include "ui/common/SlipWindow.h"
#include "ui/devices/QtDriverPrinter.h"
#include "ui/sale/MemberSelectDialog.h"
#include "ui/sale/PriceEntryDialog.h"
#include "ui/sale/QuickGoodsDialog.h"
#include "ui/sale/RecordListDialog.h"
#include "ui/sale/SettleDialog.h"
#include "ui/sale/WeighConfirmDialog.h"
#include "ui/ui_test_support.h"

namespace {

double CashInDrawer() {
  store::Database db;
  return sale::MoneyInDrawer(db);
}

using namespace testing_support;

int CountReceipts(const std::string& bytes) {
  int count = 0;
  for (size_t at = bytes.find("\x1b@"); at != std::string::npos; at = bytes.find("\x1b@", at + 2)) {
    ++count;
  }
  return count;
}

class SalesFrontDialogTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901", "牛奶", 2.5);
  }
  void TearDown() override {
    screen_.reset();
    devices::OverridePortPath("com1", {});
    TestDatabase::TearDown();
  }

  void OpenScreen() {
    screen_ = std::make_unique<ui::SalesFrontDialog>(nullptr, "0");
    screen_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen_.get()));
    entry_ = Find<QLineEdit>(*screen_, "entryEdit");
    table_ = Find<QTableView>(*screen_, "lineTable");
    entry_->setFocus();
  }
  // A receipt printer on com1, which is the pseudo-terminal.
  void UseReceiptPrinter(const PseudoTerminal& printer, int copies) const {
    devices::OverridePortPath("com1", printer.slave_path());
    Open().Exec(
        "update management set printercontrol = 'POS58', printerport = 'com1', printtimes = ?",
        copies);
  }

  void Type(const QString& text) {
    QTest::keyClicks(entry_, text);
    QTest::keyClick(entry_, Qt::Key_Return);
  }
  // Enter on the empty entry field, paying the due in cash.
  void SettleInCash() {
    ModalDriver<ui::SettleDialog> pay(Press("okButton"));
    QTest::keyClick(entry_, Qt::Key_Return);
    ASSERT_TRUE(pay.ran());
  }
  // Presses key and confirms the record chooser it opens on its first row.
  void ChooseFirst(Qt::Key key) {
    ModalDriver<ui::RecordListDialog> choose(Press("okButton"));
    QTest::keyClick(entry_, key);
    ASSERT_TRUE(choose.ran());
  }

  int Rows() const { return table_->model()->rowCount(); }
  QString Cell(int row, int column) const {
    return table_->model()->index(row, column).data().toString();
  }
  int SelectedRow() const { return table_->currentIndex().row(); }
  QString Pane(const char* name) const { return Text(*screen_, name); }

  ui::MessageBoxSeam boxes_;
  std::unique_ptr<ui::SalesFrontDialog> screen_;
  QLineEdit* entry_ = nullptr;
  QTableView* table_ = nullptr;
};

TEST_F(SalesFrontDialogTest, ScansCommandsAndArrowKeysAllWorkFromTheEntryField) {
  AddGoods("6902", "面包", 4);
  OpenScreen();
  Type("6901");
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, sale::kGoodsName), "牛奶");
  EXPECT_EQ(Pane("totalLabel"), "总计: 2.50");
  EXPECT_TRUE(entry_->text().isEmpty());

  TypeEach(screen_.get(), {"6902", "6901"});
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(1, sale::kGoodsName), "面包");
  EXPECT_EQ(SelectedRow(), 2);
  Type("*3");  // acts on the selected line
  EXPECT_EQ(Cell(2, sale::kQuantity), "3.00");
  EXPECT_EQ(Pane("totalLabel"), "总计: 14.00");

  // A refused command is shown and stays in the field to be corrected.
  Type("/11");
  EXPECT_EQ(boxes_.Texts(), Texts{"折扣率有误"});
  EXPECT_EQ(entry_->text(), "/11");
  entry_->clear();

  for (int up = 0; up < 3; ++up) QTest::keyClick(entry_, Qt::Key_Up);  // stops at the first line
  EXPECT_EQ(screen_->current_sale().selected, 0);
  QTest::keyClick(entry_, Qt::Key_Down);
  EXPECT_EQ(SelectedRow(), 1);
  Type("-");  // removes the selected line, not the last one
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Pane("totalLabel"), "总计: 10.00");

  // Clicking a line selects it but leaves the cursor where the scanner types.
  QRect first = table_->visualRect(table_->model()->index(0, 1));
  QTest::mouseClick(table_->viewport(), Qt::LeftButton, {}, first.center());
  EXPECT_EQ(screen_->current_sale().selected, 0);
  EXPECT_EQ(screen_->focusWidget(), entry_);
}

TEST_F(SalesFrontDialogTest, EscClosesAtOnceWhenEmptyAndAsksWhileLinesAreOpen) {
  OpenScreen();
  QTest::keyClick(entry_, Qt::Key_Escape);
  EXPECT_FALSE(screen_->isVisible());
  EXPECT_TRUE(boxes_.shown().empty());

  OpenScreen();
  Type("6901");
  QTest::keyClick(entry_, Qt::Key_Escape);  // answered No
  EXPECT_EQ(boxes_.Texts(), Texts{"有未结账的流水,是否退出"});
  EXPECT_TRUE(screen_->isVisible());
  EXPECT_EQ(Rows(), 1);
  boxes_.SetNextAnswer(true);
  QTest::keyClick(entry_, Qt::Key_Escape);
  EXPECT_FALSE(screen_->isVisible());
  EXPECT_EQ(screen_->result(), QDialog::Rejected);
}

TEST_F(SalesFrontDialogTest, UnknownGoodsAndGoodsWithoutAPriceAskAndRefuseBadAnswers) {
  OpenScreen();
  {
    ModalDriver<ui::QuickGoodsDialog> cancel(Press("cancelButton"));
    Type("778");  // the item library question is answered No
    EXPECT_TRUE(cancel.ran());
  }
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(boxes_.Texts().back(), "此商品无法销售");

  entry_->clear();
  boxes_.Clear();
  ModalDriver<ui::QuickGoodsDialog> quick([this](ui::QuickGoodsDialog* dialog) {
    // Nothing made up: two Enters are refused, naming the empty field.
    EXPECT_EQ(TextsOf(*dialog, {"nameEdit", "priceEdit"}), (Texts{"", ""}));
    TypeEach(dialog, {"", ""});
    EXPECT_EQ(boxes_.Texts(), (Texts{"新条码,是否查询条码库?", "名称不能为空"}));
    TypeEach(dialog, {"酱油", ""});
    EXPECT_EQ(boxes_.Texts().back(), "价格不能为空");
    EXPECT_TRUE(dialog->isVisible());
    TypeEnter(dialog, "6.8");
  });
  Type("777");
  EXPECT_TRUE(quick.ran());
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, sale::kGoodsName), "酱油");
  EXPECT_EQ(Pane("totalLabel"), "总计: 6.80");

  AddGoods("6909", "散货", 0);
  boxes_.Clear();
  ModalDriver<ui::PriceEntryDialog> price([](ui::PriceEntryDialog* dialog) {
    auto* field = dialog->findChild<QLineEdit*>("priceEdit");
    field->setText("abc");
    Click(*dialog, "okButton");
    EXPECT_TRUE(dialog->isVisible());
    field->setText("3.5");
    Click(*dialog, "okButton");
  });
  Type("6909");
  EXPECT_TRUE(price.ran());
  EXPECT_EQ(boxes_.Texts(), Texts{"价格有误"});
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(1, sale::kSalesPrice), "3.50");
  EXPECT_EQ(Pane("totalLabel"), "总计: 10.30");
}

TEST_F(SalesFrontDialogTest, F4AttachesACheckedMemberAndF4AgainDetaches) {
  Open().Exec(
      "insert into membermaster (memberid,membername,memberpid,memberphone,memberpointsmode,"
      "memberpointsvalue,depositmode,depositvalue,memberpw,dismode,disrate,disondis) "
      "values ('M01','王五','','','否',0,'否',0,'pw','会员价',1,'否')");
  OpenScreen();
  ModalDriver<ui::MemberSelectDialog> select([](ui::MemberSelectDialog* dialog) {
    auto* password = dialog->findChild<QLineEdit*>("passwordEdit");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    SetText(*dialog, "memberEdit", "M01");
    password->setText("wrong");
    Click(*dialog, "okButton");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), password);  // activation may lag under load
    password->setText("pw");
    Click(*dialog, "okButton");
  });
  QTest::keyClick(entry_, Qt::Key_F4);
  EXPECT_TRUE(select.ran());
  EXPECT_EQ(boxes_.Texts(), Texts{"密码有误"});
  EXPECT_EQ(screen_->current_sale().member_id, "M01");
  auto* member_button = screen_->findChild<QPushButton*>("memberButton");
  EXPECT_EQ(member_button->text(), "F4 普通客户");
  EXPECT_TRUE(Pane("memberPane").contains("王五"));

  QTest::keyClick(entry_, Qt::Key_F4);
  EXPECT_FALSE(screen_->current_sale().HasMember());
  EXPECT_EQ(member_button->text(), "F4 会员");
  EXPECT_EQ(Pane("memberPane"), "普通客户");
  EXPECT_EQ(screen_->focusWidget(), entry_);  // the window itself may await reactivation
}

TEST_F(SalesFrontDialogTest, WeighingShowsTheScaleReadingAndTellsUnknownGoods) {
  AddGoods("2100007", "苹果", 12.5);
  Open().Exec("update goodsmaster set unit = '千克' where barcode = '2100007'");
  ui::WeighConfirmDialog waiting(nullptr, "苹果");
  EXPECT_EQ(Text(waiting, "weightLabel"), "重量读取中.......");
  Click(waiting, "okButton");
  EXPECT_EQ(waiting.weight(), "0.00");  // zero before any reading

  ui::WeighConfirmDialog weighed(nullptr, "苹果");
  EXPECT_EQ(Text(weighed, "unitLabel"), "千克");
  weighed.SetWeightSource([] { return std::string("1234"); });
  weighed.ReadWeight();
  EXPECT_EQ(Text(weighed, "weightLabel"), "1.234");
  Click(weighed, "okButton");
  EXPECT_EQ(weighed.weight(), "1.234");
  ui::WeighConfirmDialog unknown(nullptr, "没有这个");
  EXPECT_EQ(boxes_.Texts(), Texts{"商品有误"});
}

TEST_F(SalesFrontDialogTest, EveryColumnFitsWholeAt1024By768AndTheNameGetsTheRoom) {
  AddGoods("6920131234567", "特浓纯牛奶", 9999.99);
  AddGoods("6920131234568", "老北京桂花酸梅汤饮料冰镇大瓶装", 12.5);
  OpenScreen();
  EXPECT_TRUE(screen_->windowState() & Qt::WindowMaximized);
  screen_->setWindowState(Qt::WindowNoState);
  screen_->resize(1024, 768);
  const QFontMetrics metrics = table_->fontMetrics();
  // The name is shown whole: the discount columns give up the room their headings took.
  Type("6920131234568");
  QTest::qWait(20);
  EXPECT_GT(table_->columnWidth(sale::kGoodsName), metrics.horizontalAdvance(Cell(0, 1)));
  EXPECT_GT(table_->columnWidth(sale::kGoodsName), 2 * table_->columnWidth(sale::kFrontRate));
  // With the widest figures every column still fits whole.
  Type("6920131234567");
  Type("*9.99");
  QTest::qWait(20);
  EXPECT_FALSE(table_->horizontalScrollBar()->isVisible());
  const int last = sale::kColumnCount - 1;
  EXPECT_LE(table_->columnViewportPosition(last) + table_->columnWidth(last),
            table_->viewport()->width());
  for (int column : {int{sale::kBarcode}, int{sale::kAmount}}) {
    EXPECT_GT(table_->columnWidth(column), metrics.horizontalAdvance(Cell(1, column)));
  }
}

// The pole display is the shown screen's (a screen only built opens no port) and gets the
// running total on lamp 2.
TEST_F(SalesFrontDialogTest, PoleDisplayOpensWhenShownAndShowsTheRunningTotal) {
  PseudoTerminal display;
  Open().Exec("update management set displaycontrol = 'LED8N', displayport = ?",
              display.slave_path());
  auto speed = [&] {
    termios settings{};
    int fd = open(display.slave_path().c_str(), O_RDONLY | O_NOCTTY);
    tcgetattr(fd, &settings);
    close(fd);
    return cfgetospeed(&settings);
  };
  screen_ = std::make_unique<ui::SalesFrontDialog>(nullptr, "0");
  EXPECT_NE(speed(), B2400);
  OpenScreen();
  EXPECT_EQ(speed(), B2400);
  display.ReadAll(50);  // whatever the screen showed on opening
  TypeEach(screen_.get(), {"6901", "6901"});
  std::string sent = display.ReadAll();
  for (const char* total : {"2.50", "5.00"}) {  // ESC s 2, ESC Q A, the figure, CR
    EXPECT_NE(sent.find(std::string("\x1bs2\x1bQA") + total + "\r"), std::string::npos) << total;
  }
}

TEST_F(SalesFrontDialogTest, EnterSettlesPrintsEachCopyAndF5ReprintsOne) {
  PseudoTerminal printer;
  UseReceiptPrinter(printer, 2);
  OpenScreen();
  Type("6901");
  ModalDriver<ui::SettleDialog> pay([](ui::SettleDialog* dialog) {
    auto* cash = dialog->findChild<QLineEdit*>("cashEdit");
    cash->selectAll();
    QTest::keyClicks(cash, "10");
    QTest::keyClick(cash, Qt::Key_Return);
  });
  QTest::keyClick(entry_, Qt::Key_Return);
  ASSERT_TRUE(pay.ran());
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Pane("numberPane"), "单号: 2");
  EXPECT_EQ(Open().QueryText("select printf('%.2f', change) from transactiondetails "
                             "where transactiontype = '销售总计'"),
            "7.50");
  EXPECT_EQ(CountReceipts(printer.ReadAll()), 2);

  ChooseFirst(Qt::Key_F5);
  EXPECT_EQ(CountReceipts(printer.ReadAll()), 1);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SalesFrontDialogTest, TheChangeStaysInSightUntilTheNextSaleStarts) {
  AddGoods("38", "酸梅汤", 38);
  OpenScreen();
  Type("38");
  ModalDriver<ui::SettleDialog> pay([](ui::SettleDialog* dialog) {
    auto* cash = dialog->findChild<QLineEdit*>("cashEdit");
    cash->selectAll();
    QTest::keyClicks(cash, "100");
    QTest::keyClick(cash, Qt::Key_Return);
  });
  QTest::keyClick(entry_, Qt::Key_Return);
  ASSERT_TRUE(pay.ran());
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Pane("changeLabel"), "实收: 100.00   找零: 62.00");
  Type("+10");  // petty cash starts no sale
  EXPECT_EQ(Pane("changeLabel"), "实收: 100.00   找零: 62.00");
  Type("6901");
  EXPECT_EQ(Pane("changeLabel"), "");
}

TEST_F(SalesFrontDialogTest, RefundIsPaidOutOfTheDrawerAndTheShiftAgrees) {
  AddGoods("30", "大米", 30);
  AddGoods("10", "面粉", 10);
  OpenScreen();
  Type("30");
  SettleInCash();
  TypeEach(screen_.get(), {"10", "*-1"});
  QString change;
  ModalDriver<ui::SettleDialog> refund([&change](ui::SettleDialog* dialog) {
    QTest::keyClick(dialog->findChild<QLineEdit*>("cashEdit"), Qt::Key_End);  // change follows
    change = Text(*dialog, "changeValue");
    Click(*dialog, "okButton");
  });
  QTest::keyClick(entry_, Qt::Key_Return);
  ASSERT_TRUE(refund.ran());
  EXPECT_EQ(change, "0.00");
  EXPECT_EQ(Open().QueryText("select printf('%.2f %.2f', paid, change) from transactiondetails "
                             "where transactionnumber = 2 and transactiontype = '销售总计'"),
            "-10.00 0.00");
  // 30.00 taken and 10.00 paid out: the drawer figure and the shift's cash agree on 20.00.
  EXPECT_DOUBLE_EQ(CashInDrawer(), 20.00);
  boxes_.SetNextAnswer(true);
  ModalDriver<ui::SlipWindow> shift(Press("closeButton"));
  QTest::keyClick(entry_, Qt::Key_F12);
  EXPECT_DOUBLE_EQ(Open().QueryDouble("select cashpaid from shiftsum").value_or(-1), 20.00);
}

TEST_F(SalesFrontDialogTest, ParkedSaleComesBackWithF10) {
  OpenScreen();
  TypeEach(screen_.get(), {"6901", "*3"});
  QTest::keyClick(entry_, Qt::Key_F9);
  EXPECT_EQ(Rows(), 0);
  ChooseFirst(Qt::Key_F10);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(screen_->current_sale().lines[0][sale::kQuantity], "3.000");
}

TEST_F(SalesFrontDialogTest, F12AsksThenShowsTheShiftWhoseCashIsTheDrawersAndSlipsShowUnprinted) {
  OpenScreen();
  Type("6901");
  SettleInCash();
  Type("+100");
  QTest::keyClick(entry_, Qt::Key_F12);  // answered No
  EXPECT_EQ(boxes_.Texts(), Texts{"是否班结?"});
  EXPECT_EQ(Open().QueryInt("select count(*) from shiftsum"), 0);

  const double drawer = CashInDrawer();
  boxes_.SetNextAnswer(true);
  QString caption;
  QString cash;
  ModalDriver<ui::SlipWindow> shift([&](ui::SlipWindow* window) {
    caption = Text(*window, "captionLabel");
    for (const QString& line : window->text().split('\n')) {
      if (line.startsWith("钱箱应有现金")) cash = line.section(' ', -1);
    }
    Click(*window, "closeButton");
  });
  QTest::keyClick(entry_, Qt::Key_F12);
  ASSERT_TRUE(shift.ran());
  EXPECT_EQ(caption, "完成");
  EXPECT_EQ(cash, "102.50");
  EXPECT_EQ(cash, QString::number(drawer, 'f', 2));
  EXPECT_EQ(Open().QueryInt("select count(*) from shiftsum"), 1);

  // Without a printer the receipt shows on the screen, and prints from there to a PDF file.
  ui::QtDriverPrinter pdf_printer;
  print::SetDriverPrinter(&pdf_printer);
  ui::FileChooserSeam chooser;
  chooser.SetNextAnswer(Q(dir() / "小票.txt"));
  QString receipt;
  ModalDriver<ui::SlipWindow> shown([&](ui::SlipWindow* window) {
    receipt = window->text();
    Click(*window, "printButton");
    Click(*window, "closeButton");
  });
  ChooseFirst(Qt::Key_F5);
  print::SetDriverPrinter(nullptr);
  EXPECT_TRUE(receipt.contains("牛奶")) << receipt.toStdString();
  EXPECT_TRUE(std::filesystem::exists(dir() / "小票.pdf"));

  PseudoTerminal printer;
  UseReceiptPrinter(printer, 1);
  ChooseFirst(Qt::Key_F2);
  EXPECT_EQ(CountReceipts(printer.ReadAll()), 1);
}

}  // namespace
