// The touch cashier screen driven by taps alone.

#include "ui/touch/TouchFrontDialog.h"

#include <QLayout>
#include <QPushButton>

#include "ui/app/ModuleLauncher.h"
#include "ui/sale/SalesFrontDialog.h"
#include "ui/sale/SettleDialog.h"
#include "ui/touch/TouchMemberPad.h"
#include "ui/touch/TouchMetrics.h"
#include "ui/touch/TouchNumberPad.h"
#include "ui/touch/TouchSettleDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// Taps a keypad's digits and "." and then its confirm button.
std::function<void(QWidget*)> TapKeys(const QString& keys, const char* confirm = "okButton") {
  return [keys, confirm](QWidget* pad) {
    for (const QChar key : keys) {
      Click(*pad, key == '.' ? "keyPoint" : QStringLiteral("key%1").arg(key).toUtf8().constData());
    }
    Click(*pad, confirm);
  };
}

class TouchFrontDialogTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901", "牛奶", 2.5);
    AddGoods("6902", "面包", 4);
  }
  void TearDown() override {
    screen_.reset();
    TestDatabase::TearDown();
  }
  void OpenScreen(int width = 1024, int height = 768) {
    screen_ = std::make_unique<ui::TouchFrontDialog>(nullptr, "0");
    screen_->setWindowState(Qt::WindowNoState);
    screen_->resize(width, height);
    screen_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen_.get()));
    QTest::qWait(20);  // the goods captions are fitted once the layout ran
  }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(*screen_, name); }
  // The command button showing that caption.
  void Command(const QString& caption) {
    for (int i = 1; i <= ui::TouchFrontDialog::kCommandCount; ++i) {
      QPushButton* button = Button(QStringLiteral("commandButton%1").arg(i).toUtf8().constData());
      if (button->text() == caption) {
        QTest::mouseClick(button, Qt::LeftButton);
        return;
      }
    }
    ADD_FAILURE() << "no command button " << caption.toStdString();
  }
  void Scan(const QString& barcode) {
    auto* box = Find<QLineEdit>(*screen_, "barcodeEdit");
    QTest::keyClicks(box, barcode);
    QTest::keyClick(box, Qt::Key_Return);
  }
  QString Cell(int row, int column) const {
    return testing_support::Cell(*screen_, "lineTable", row, column);
  }
  QString Total() const { return Text(*screen_, "totalLabel"); }

  // The rows a sale wrote, without its number and times, one per ";".
  std::string JournalRows(std::int64_t number) const {
    return Open()
        .QueryText(
            "select group_concat(row, ';') from (select printf('%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|"
            "%s|%s|%s|%s|%s|%s|%s', transactiontype,quantity,price,actualvalue,discountrate,"
            "discountvalue,barcode,paid,change,workno,memberid,cardpaid,shiftid,wipevalue,"
            "valuediscount,pricediscount,checkpaid,unionpaid) as row from transactiondetails "
            "where transactionnumber = ? order by rowid)",
            number)
        .value_or("");
  }

  ui::MessageBoxSeam boxes_;
  std::unique_ptr<ui::TouchFrontDialog> screen_;
};

TEST_F(TouchFrontDialogTest, GoodsButtonsSellTheirOwnGoods) {
  AddGoods("6903", "牛奶", 3.0);  // the same name, another goods
  OpenScreen();
  auto tester = CheckModel(*screen_, "lineTable");
  EXPECT_EQ(Button("goodsButton0")->text(), "牛奶");
  EXPECT_EQ(Button("goodsButton2")->text(), "牛奶");
  EXPECT_FALSE(Button("goodsButton3")->isVisible());
  EXPECT_FALSE(Button("classButton1")->isVisible());  // one class: "未分类"
  QTest::mouseClick(Button("goodsButton2"), Qt::LeftButton);
  EXPECT_EQ(Cell(0, 4), "6903");  // "条码"
  EXPECT_EQ(Total(), "3.00");
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(TouchFrontDialogTest, MemberButtonAttachesAndDetachesRepricingTheLines) {
  Open().Exec("update goodsmaster set memberprice = 2.0 where barcode = '6901'");
  Open().Exec(
      "insert into membermaster (memberid,membername,memberpw,dismode,disrate,disondis) "
      "values ('8001','王','','会员价',1,'否')");
  OpenScreen();
  QTest::mouseClick(Button("goodsButton0"), Qt::LeftButton);
  Scan("6902");
  EXPECT_EQ(Total(), "6.50");
  {
    ModalDriver<ui::TouchMemberPad> pad(TapKeys("8001"));
    Command("会员");
    ASSERT_TRUE(pad.ran());
  }
  EXPECT_EQ(Total(), "6.00");
  EXPECT_TRUE(Text(*screen_, "memberPane").contains("王"));
  Command("普通客户");
  EXPECT_EQ(Total(), "6.50");
  EXPECT_EQ(Button("commandButton6")->text(), "会员");
}

TEST_F(TouchFrontDialogTest, SettlingWritesTheSameRowsAsTheKeyboardScreen) {
  OpenScreen();
  QTest::mouseClick(Button("goodsButton0"), Qt::LeftButton);
  Scan("6902");
  {
    ModalDriver<ui::TouchNumberPad> pad(TapKeys("3"));
    Command("数量");
  }
  Command("其他");
  {
    ModalDriver<ui::TouchNumberPad> pad(TapKeys("0.8"));
    Command("单品打折");
  }
  Command("主界面");
  {
    ModalDriver<ui::TouchSettleDialog> pay(TapKeys("20"));
    Command("结算");
    ASSERT_TRUE(pay.ran());
  }
  EXPECT_EQ(Total(), "0.00");
  // What was taken and the change stay in sight until the next sale has a line.
  EXPECT_EQ(Text(*screen_, "changeLabel").toStdString(),
            Open().QueryText("select printf('实收: %.2f   找零: %.2f', paid, change) from "
                             "transactiondetails where transactiontype = '销售总计'"));
  EXPECT_TRUE(Text(*screen_, "changeLabel").startsWith("实收: "));
  QTest::mouseClick(Button("goodsButton0"), Qt::LeftButton);
  EXPECT_EQ(Text(*screen_, "changeLabel"), "");
  screen_.reset();

  ui::SalesFrontDialog keyboard(nullptr, "0");
  keyboard.show();
  auto* entry = Find<QLineEdit>(keyboard, "entryEdit");
  entry->setFocus();
  TypeEach(&keyboard, {"6901", "6902", "*3", "/8"});
  {
    ModalDriver<ui::SettleDialog> pay(Fill({{"cashEdit", "20"}}, "okButton"));
    QTest::keyClick(entry, Qt::Key_Return);
    ASSERT_TRUE(pay.ran());
  }
  const std::string touch = JournalRows(1);
  EXPECT_EQ(std::count(touch.begin(), touch.end(), ';'), 2) << touch;
  EXPECT_EQ(touch, JournalRows(2));
  EXPECT_NE(touch.find(";销售总计|4.0|0.0|12.1|"), std::string::npos) << touch;
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(TouchFrontDialogTest, F1OpensTheTouchScreenWhenTheScaleFrontIsOn) {
  const app::MenuModule cashier{1, 0, 0, 0, 0, std::nullopt, ""};
  for (const char* setting : {"是", "否"}) {
    Open().Exec("update management set usescalefront = ?", setting);
    ModalDriver<ui::TouchFrontDialog> touch(Press("commandButton10"));
    ModalDriver<ui::SalesFrontDialog> keyboard(Press("exitButton"));
    ui::LaunchModule(cashier, nullptr, "0");
    EXPECT_EQ(touch.ran(), std::string(setting) == "是");
    EXPECT_EQ(keyboard.ran(), std::string(setting) == "否");
  }
}

TEST_F(TouchFrontDialogTest, AtTheSmallScreenTheNameShowsWholeBesideQuantityPriceAndAmount) {
  AddGoods("6904", "老北京桂花酸梅汤饮料冰镇大瓶装", 12.5);
  OpenScreen(1024, 768);
  Scan("6904");
  QTest::qWait(20);
  auto* table = Find<QTableView>(*screen_, "lineTable");
  EXPECT_GT(table->columnWidth(0), table->fontMetrics().horizontalAdvance(Cell(0, 0)));
  EXPECT_GT(table->columnWidth(0), table->columnWidth(8));  // "前台折扣"
  EXPECT_LE(table->columnViewportPosition(3) + table->columnWidth(3), table->viewport()->width());
}

// Every button is at least 15 mm square, inside the window, clear of the others, and shows its
// whole caption; the layout fits the window without squeezing.
TEST_F(TouchFrontDialogTest, LayoutFitsFingersAt1024x768And1920x1080) {
  for (int i = 0; i < 12; ++i) {
    AddGoods("7" + std::to_string(i), "很长很长的商品名称第" + std::to_string(i), 1);
  }
  for (const QSize size : {QSize(1024, 768), QSize(1920, 1080)}) {
    OpenScreen(size.width(), size.height());
    ASSERT_EQ(screen_->size(), size);
    EXPECT_LE(screen_->layout()->minimumSize().height(), size.height());
    EXPECT_LE(screen_->layout()->minimumSize().width(), size.width());
    const int finger = ui::MillimetresToPixels(*screen_, ui::kFingerMm);
    std::vector<QRect> taken;
    for (QPushButton* button : screen_->findChildren<QPushButton*>()) {
      if (!button->isVisible()) continue;
      const QRect rect(button->mapTo(screen_.get(), QPoint(0, 0)), button->size());
      const std::string name = button->objectName().toStdString();
      EXPECT_GE(rect.width(), finger) << name;
      EXPECT_GE(rect.height(), finger) << name;
      EXPECT_TRUE(screen_->rect().contains(rect)) << name;
      for (const QRect& other : taken) EXPECT_FALSE(rect.intersects(other)) << name;
      taken.push_back(rect);
      const QFontMetrics metrics(button->font());
      const QStringList lines = button->text().split('\n');
      for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), rect.width() - 4) << name;
      }
      EXPECT_LE(static_cast<int>(lines.size()) * metrics.lineSpacing(), rect.height()) << name;
    }
    EXPECT_EQ(taken.size(), 1u + 1 + 2 + 14 + 2 + 10);  // 全部, a class, paging, goods, commands
    screen_.reset();
  }
}

}  // namespace
