#include "ui/common/MessageBox.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "ui/ui_test_support.h"

namespace {

using testing_support::ModalDriver;

TEST(MessageBoxTest, SeamRecordsInOrderAnswersQueuedQuestionsAndNestedSeamsEnd) {
  ui::MessageBoxSeam seam;
  seam.SetNextAnswer(true);
  ui::ShowMessage(nullptr, "完成");
  ui::ShowMessage(nullptr, "已有相同程序运行", QString());
  EXPECT_TRUE(ui::AskYesNo(nullptr, "保存?"));
  EXPECT_FALSE(ui::AskYesNo(nullptr, "保存?"));  // the queue is empty: No
  {
    ui::MessageBoxSeam inner;
    ui::ShowMessage(nullptr, "inner");
    EXPECT_EQ(inner.Texts(), std::vector<QString>{"inner"});
  }
  ui::ShowMessage(nullptr, "outer");

  ASSERT_EQ(seam.shown().size(), 5u);
  EXPECT_EQ(seam.shown()[0].title, "确认");
  EXPECT_EQ(seam.shown()[1].title, "");
  EXPECT_FALSE(seam.shown()[1].question);
  EXPECT_TRUE(seam.shown()[2].question);
  EXPECT_EQ(seam.Texts(),
            (std::vector<QString>{"完成", "已有相同程序运行", "保存?", "保存?", "outer"}));
}

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
