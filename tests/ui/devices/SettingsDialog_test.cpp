#include "devices/SettingsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/MessageBox.h"
#include "support/test_database.h"

namespace {

class SettingsDialogTest : public testing_support::TestDatabase {
 protected:
  // The whole settings row as text, to prove that a refused save wrote nothing.
  std::vector<std::string> ManagementRow() const {
    store::Database db = Open();
    store::Statement row = db.Query("select * from management");
    EXPECT_TRUE(row.Step());
    std::vector<std::string> values;
    for (int i = 0; i < row.ColumnCount(); ++i) values.push_back(row.Text(i));
    return values;
  }

  std::string Column(const std::string& column) const {
    // Column names here come from the test's own fixed texts.
    store::Database db = Open();
    return db.QueryText("select " + column + " from management").value_or("<null>");
  }

  void SetColumn(const std::string& column, const std::string& value) const {
    store::Database db = Open();
    db.Exec("update management set " + column + " = ?", value);
  }

  std::string ScaleAddressFile() const {
    std::ifstream file(dir() / "dhip.ini", std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }

  // Opens the screen on the current database, shown, so focus can be checked.
  std::unique_ptr<devices::SettingsDialog> OpenDialog() const {
    auto dialog = std::make_unique<devices::SettingsDialog>(nullptr, "0001");
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    return dialog;
  }

  template <typename T>
  static T* Find(const QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  static void Type(const QWidget& dialog, const char* edit_name, const QString& text) {
    QLineEdit* edit = Find<QLineEdit>(dialog, edit_name);
    edit->clear();
    // keyClicks only knows ASCII keys; other characters arrive as typed text.
    for (QChar c : text) {
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }

  static void Choose(const QWidget& dialog, const char* combo_name, const QString& text) {
    Find<QComboBox>(dialog, combo_name)->setEditText(text);
  }

  static void Save(const QWidget& dialog) {
    QTest::mouseClick(Find<QPushButton>(dialog, "saveButton"), Qt::LeftButton);
  }
};

TEST_F(SettingsDialogTest, ShowsTheStoredSettingsInEditableLists) {
  SetColumn("displayport", "/dev/ttyUSB0");
  ui::MessageBoxSeam messages;
  auto dialog = OpenDialog();
  EXPECT_EQ(dialog->windowTitle(), "设定");
  EXPECT_EQ(Find<QComboBox>(*dialog, "printerControlCombo")->currentText(), "不打印");
  EXPECT_EQ(Find<QComboBox>(*dialog, "printerPortCombo")->currentText(), "lpt1");
  EXPECT_EQ(Find<QComboBox>(*dialog, "displayControlCombo")->currentText(), "不显示");
  EXPECT_EQ(Find<QComboBox>(*dialog, "displayPortCombo")->currentText(), "/dev/ttyUSB0");
  EXPECT_EQ(Find<QComboBox>(*dialog, "displayPortCombo")->count(), 4);
  EXPECT_EQ(Find<QComboBox>(*dialog, "moneyBoxCombo")->currentText(), "不弹出");
  EXPECT_EQ(Find<QComboBox>(*dialog, "printTimesCombo")->currentText(), "1");
  EXPECT_EQ(Find<QComboBox>(*dialog, "comScalePortCombo")->currentText(), "com2");
  EXPECT_EQ(Find<QLineEdit>(*dialog, "scaleIpEdit")->text(), "192.168.1.87");
  EXPECT_TRUE(Find<QRadioButton>(*dialog, "noWipeRadio")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*dialog, "averagePriceRadio")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(*dialog, "scaleCheck")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(*dialog, "touchFrontCheck")->isChecked());

  QTest::keyClick(dialog.get(), Qt::Key_F1);
  EXPECT_TRUE(dialog->isVisible());
  QTest::mouseClick(Find<QPushButton>(*dialog, "cancelButton"), Qt::LeftButton);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(messages.shown().empty());
}

TEST_F(SettingsDialogTest, UnreadableDatabaseLeavesTheScreenEmptyAndSavesNothing) {
  std::filesystem::remove(store::DatabasePath());
  ui::MessageBoxSeam messages;
  auto dialog = OpenDialog();
  EXPECT_TRUE(messages.shown().empty());
  EXPECT_EQ(Find<QComboBox>(*dialog, "printerControlCombo")->currentText(), "");
  EXPECT_EQ(Find<QLineEdit>(*dialog, "emptyLinesEdit")->text(), "");
  EXPECT_EQ(Find<QLineEdit>(*dialog, "drawerCommandEdit")->text(), "27, 112, 0, 128, 128");
  Save(*dialog);
  ASSERT_EQ(messages.shown().size(), 1U);
  EXPECT_EQ(messages.shown()[0].text, "打印张数必须是不小于0的整数");
  EXPECT_FALSE(std::filesystem::exists(dir() / "dhip.ini"));
}

TEST_F(SettingsDialogTest, PortChecksRefuseTheSaveAndFocusThePort) {
  const std::vector<std::string> before = ManagementRow();
  ui::MessageBoxSeam messages;
  auto dialog = OpenDialog();

  Choose(*dialog, "displayPortCombo", "com1");
  Choose(*dialog, "printerPortCombo", "com1");
  Save(*dialog);
  ASSERT_EQ(messages.shown().size(), 1U);
  EXPECT_EQ(messages.shown()[0].title, "确认");
  EXPECT_EQ(messages.shown()[0].text, "客显端口与打印端口冲突");
  EXPECT_EQ(dialog->focusWidget(), Find<QComboBox>(*dialog, "displayPortCombo"));

  Choose(*dialog, "printerPortCombo", "");
  Choose(*dialog, "comScalePortCombo", "");
  Save(*dialog);
  EXPECT_EQ(messages.Texts().back(), "计价秤端口与打印端口冲突");

  Choose(*dialog, "printerPortCombo", "lpt1");
  Find<QCheckBox>(*dialog, "touchFrontCheck")->setChecked(true);
  Save(*dialog);
  EXPECT_EQ(messages.Texts().back(), "启用计价秤时，必须指定端口");
  EXPECT_EQ(dialog->focusWidget(), Find<QComboBox>(*dialog, "comScalePortCombo"));

  EXPECT_EQ(ManagementRow(), before);
  EXPECT_FALSE(std::filesystem::exists(dir() / "dhip.ini"));
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SettingsDialogTest, SavesEveryControlAndWritesTheScaleAddressFile) {
  ui::MessageBoxSeam messages;
  auto dialog = OpenDialog();
  Choose(*dialog, "displayControlCombo", "LED8N");
  Choose(*dialog, "displayPortCombo", "com1");
  Choose(*dialog, "printerControlCombo", "POS58");
  Choose(*dialog, "printerPortCombo", "lpt1");
  Choose(*dialog, "printTimesCombo", "2");
  Choose(*dialog, "moneyBoxCombo", "弹出");
  Choose(*dialog, "comScalePortCombo", "");
  Type(*dialog, "welcomeEdit", "Joe's 小店");
  Type(*dialog, "byeEdit", "谢谢'光临'");
  Type(*dialog, "emptyLinesEdit", "5");
  Find<QRadioButton>(*dialog, "recentPriceRadio")->setChecked(true);
  Find<QRadioButton>(*dialog, "wipeJiaoRadio")->setChecked(true);
  Type(*dialog, "baseValueEdit", "10");
  Type(*dialog, "pointsValueEdit", "3");
  Find<QCheckBox>(*dialog, "scaleCheck")->setChecked(true);
  Type(*dialog, "scaleFlagEdit", "22");
  Type(*dialog, "scaleIpEdit", "10.0.0.5");
  Find<QCheckBox>(*dialog, "comScaleCheck")->setChecked(true);
  Save(*dialog);

  EXPECT_EQ(messages.Texts(), std::vector<QString>{"保存成功"});
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(ScaleAddressFile(), "10.0.0.5\t3\r\n");
  EXPECT_EQ(Column("displaycontrol"), "LED8N");
  EXPECT_EQ(Column("printercontrol"), "POS58");
  EXPECT_EQ(Column("printtimes"), "2");
  EXPECT_EQ(Column("moneyboxcontrol"), "弹出");
  EXPECT_EQ(Column("comscaleport"), "");
  EXPECT_EQ(Column("welcome"), "Joe's 小店");
  EXPECT_EQ(Column("bye"), "谢谢'光临'");
  EXPECT_EQ(Column("emptylines"), "5");
  EXPECT_EQ(Column("priceforcost"), "recentprice");
  EXPECT_EQ(Column("wipevalue"), "1");
  EXPECT_EQ(Column("basevalue"), "10");
  EXPECT_EQ(Column("pointsvalue"), "3");
  EXPECT_EQ(Column("scale"), "是");
  EXPECT_EQ(Column("scalesimple"), "22");
  EXPECT_EQ(Column("scaleip"), "10.0.0.5");
  EXPECT_EQ(Column("usecomscale"), "是");
  EXPECT_EQ(Column("usescalefront"), "否");

  dialog.reset();
  auto reopened = OpenDialog();
  EXPECT_EQ(Find<QLineEdit>(*reopened, "welcomeEdit")->text(), "Joe's 小店");
  EXPECT_EQ(Find<QLineEdit>(*reopened, "byeEdit")->text(), "谢谢'光临'");
  EXPECT_TRUE(Find<QRadioButton>(*reopened, "wipeJiaoRadio")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*reopened, "recentPriceRadio")->isChecked());
  EXPECT_EQ(Find<QComboBox>(*reopened, "comScalePortCombo")->currentText(), "");
}

TEST_F(SettingsDialogTest, BadIntegerOrAddressIsNamedFocusedAndNothingIsWritten) {
  const std::vector<std::string> before = ManagementRow();
  ui::MessageBoxSeam messages;
  auto dialog = OpenDialog();
  Type(*dialog, "welcomeEdit", "changed");
  Type(*dialog, "emptyLinesEdit", "三");
  Save(*dialog);
  ASSERT_EQ(messages.shown().size(), 1U);
  EXPECT_TRUE(messages.shown()[0].text.contains("票尾空行"))
      << messages.shown()[0].text.toStdString();
  EXPECT_EQ(dialog->focusWidget(), Find<QLineEdit>(*dialog, "emptyLinesEdit"));

  Type(*dialog, "emptyLinesEdit", "3");
  Type(*dialog, "scaleIpEdit", "192.168.1");
  Save(*dialog);
  EXPECT_EQ(messages.Texts().back(), "电子称IP地址不正确");
  EXPECT_EQ(dialog->focusWidget(), Find<QLineEdit>(*dialog, "scaleIpEdit"));

  EXPECT_EQ(ManagementRow(), before);
  EXPECT_FALSE(std::filesystem::exists(dir() / "dhip.ini"));
  EXPECT_EQ(Find<QLineEdit>(*dialog, "welcomeEdit")->text(), "changed");
}

TEST_F(SettingsDialogTest, UnknownRoundingShowsNoChoiceAndMustBeChosen) {
  SetColumn("wipevalue", "7");
  ui::MessageBoxSeam messages;
  auto dialog = OpenDialog();
  for (const char* name : {"noWipeRadio", "wipeJiaoRadio", "wipeYuanRadio"}) {
    EXPECT_FALSE(Find<QRadioButton>(*dialog, name)->isChecked()) << name;
  }
  Save(*dialog);
  EXPECT_EQ(messages.Texts(), std::vector<QString>{"请选择抹零方式"});
  EXPECT_EQ(Column("wipevalue"), "7");

  QTest::mouseClick(Find<QRadioButton>(*dialog, "wipeYuanRadio"), Qt::LeftButton);
  QTest::mouseClick(Find<QRadioButton>(*dialog, "noWipeRadio"), Qt::LeftButton);
  EXPECT_FALSE(Find<QRadioButton>(*dialog, "wipeYuanRadio")->isChecked());
  Save(*dialog);
  EXPECT_EQ(messages.Texts().back(), "保存成功");
  EXPECT_EQ(Column("wipevalue"), "2");
}

TEST_F(SettingsDialogTest, EmptyDrawerCommandShowsAndSavesTheDefault) {
  SetColumn("opencashiercmd", "");
  ui::MessageBoxSeam messages;
  auto dialog = OpenDialog();
  EXPECT_EQ(Find<QLineEdit>(*dialog, "drawerCommandEdit")->text(), "27, 112, 0, 128, 128");
  Save(*dialog);
  EXPECT_EQ(messages.Texts(), std::vector<QString>{"保存成功"});
  EXPECT_EQ(Column("opencashiercmd"), "27, 112, 0, 128, 128");
  EXPECT_EQ(ScaleAddressFile(), "192.168.1.87\t3\r\n");
}

}  // namespace
