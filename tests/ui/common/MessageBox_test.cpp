
#include <QMessageBox>

#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// The seam that stands in for these boxes is proven by every screen test that reads it.
TEST(MessageBoxTest, RealBoxesCarryTitleTextAndChineseButtons) {
  ASSERT_EQ(ui::MessageBoxSeam::Active(), nullptr);
  QString title, text;
  {
    ModalDriver<QMessageBox> driver([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    ui::ShowMessage(nullptr, "登陆失败");
    EXPECT_TRUE(driver.ran());
  }
  EXPECT_EQ(title, "确认");
  EXPECT_EQ(text, "登陆失败");

  ModalDriver<QMessageBox> yes([](QMessageBox* box) {
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "是");
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(ui::AskYesNo(nullptr, "保存?"));
  ModalDriver<QMessageBox> no([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
  EXPECT_FALSE(ui::AskYesNo(nullptr, "保存?"));
}

}  // namespace
