#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <memory>

#include "ui/app/AboutDialog.h"
#include "ui/ui_test_support.h"

namespace {

using testing_support::Find;

// The test program loads Qt's translations as the till does (ui_test_main.cpp).
TEST(QtTranslationsTest, TextFieldMenuAndStandardButtonsSpeakChinese) {
  QLineEdit field("可乐");
  std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
  QStringList captions;  // without the shortcut after the tab
  for (QAction* action : menu->actions()) captions << action->text().section('\t', 0, 0);
  EXPECT_TRUE(captions.contains("复制(&C)")) << captions.join(' ').toStdString();
  EXPECT_TRUE(captions.contains("粘贴(&P)")) << captions.join(' ').toStdString();

  ui::AboutDialog about;
  EXPECT_EQ(Find<QPushButton>(about, "okButton")->text(), "确定");
}

}  // namespace
