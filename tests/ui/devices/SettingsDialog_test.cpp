#include "ui/devices/SettingsDialog.h"

#include <QRadioButton>
#include <utility>

#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;
using Pairs = std::vector<std::pair<const char*, QString>>;

// Which settings are refused and what the scale file holds are proven in core; these tests
// cover the widgets: what they show, what they save, and which one gets the focus.
class SettingsDialogTest : public TestDatabase {
 protected:
  // Column names here come from the test's own fixed texts.
  std::string Column(const std::string& column) const {
    return Open().QueryText("select " + column + " from management").value_or("<null>");
  }
  void SetColumn(const std::string& column, const std::string& value) const {
    Open().Exec("update management set " + column + " = ?", value);
  }

  // Opens the screen on the current database, shown, so focus can be checked.
  static std::unique_ptr<ui::SettingsDialog> OpenDialog() {
    auto dialog = std::make_unique<ui::SettingsDialog>(nullptr, "0001");
    dialog->show();
    return dialog;
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

  ui::MessageBoxSeam messages_;
};

TEST_F(SettingsDialogTest, SavesEveryControlAndShowsItAgainWhenReopened) {
  const Pairs combos = {{"displayControlCombo", "LED8N"}, {"displayPortCombo", "com1"},
                        {"printerControlCombo", "POS58"}, {"printerPortCombo", "lpt1"},
                        {"printTimesCombo", "2"},         {"moneyBoxCombo", "弹出"},
                        {"comScalePortCombo", ""}};
  const Pairs edits = {{"welcomeEdit", "Joe's 小店"}, {"byeEdit", "谢谢'光临'"},
                       {"emptyLinesEdit", "5"},       {"baseValueEdit", "10"},
                       {"pointsValueEdit", "3"},      {"scaleFlagEdit", "22"},
                       {"scaleIpEdit", "10.0.0.5"}};
  const char* ticked[] = {"recentPriceRadio", "wipeJiaoRadio", "scaleCheck", "comScaleCheck"};
  auto dialog = OpenDialog();
  for (const auto& [name, text] : combos) Choose(*dialog, name, text);
  for (const auto& [name, text] : edits) Type(*dialog, name, text);
  for (const char* name : ticked) Find<QAbstractButton>(*dialog, name)->setChecked(true);
  Click(*dialog, "saveButton");

  EXPECT_EQ(messages_.Texts(), Texts{"保存成功"});
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(FileBytes(dir() / "dhip.ini"), "10.0.0.5\t3\r\n");
  const std::pair<const char*, const char*> stored[] = {
      {"displaycontrol", "LED8N"}, {"displayport", "com1"},   {"printercontrol", "POS58"},
      {"printerport", "lpt1"},     {"printtimes", "2"},       {"moneyboxcontrol", "弹出"},
      {"comscaleport", ""},        {"welcome", "Joe's 小店"}, {"bye", "谢谢'光临'"},
      {"emptylines", "5"},         {"basevalue", "10"},       {"pointsvalue", "3"},
      {"scalesimple", "22"},       {"scaleip", "10.0.0.5"},   {"priceforcost", "recentprice"},
      {"wipevalue", "1"},          {"scale", "是"},           {"usecomscale", "是"},
      {"usescalefront", "否"}};
  for (const auto& [column, value] : stored) EXPECT_EQ(Column(column), value) << column;

  dialog.reset();
  auto reopened = OpenDialog();
  for (const auto& [name, text] : combos) {
    EXPECT_EQ(Find<QComboBox>(*reopened, name)->currentText(), text) << name;
  }
  for (const auto& [name, text] : edits) {
    EXPECT_EQ(Find<QLineEdit>(*reopened, name)->text(), text) << name;
  }
  for (const char* name : ticked) {
    EXPECT_TRUE(Find<QAbstractButton>(*reopened, name)->isChecked()) << name;
  }
}

// A till without a printer prints to a PDF file: its path is the printer name.
TEST_F(SettingsDialogTest, ThePrinterNameOffersAPdfFileAndSavesItsPath) {
  SetColumn("printername", "前台");
  auto dialog = OpenDialog();
  auto* printers = Find<QComboBox>(*dialog, "printerNameCombo");
  EXPECT_EQ(printers->currentText(), "前台");
  ASSERT_EQ(printers->itemText(printers->count() - 1), "PDF 文件…");
  ui::FileChooserSeam chooser;
  // Down the list to its last entry, as a person does with the arrow key, until a file is asked.
  auto choose_pdf_entry = [&] {
    const size_t asked = chooser.requests().size();
    printers->setFocus();
    for (int i = 0; i < printers->count() && chooser.requests().size() == asked; ++i) {
      QTest::keyClick(printers, Qt::Key_Down);
    }
  };

  chooser.SetNextAnswer(std::nullopt);  // cancelled: the name shown before stays
  chooser.SetNextAnswer(Q(dir() / "小票"));
  choose_pdf_entry();
  EXPECT_EQ(printers->currentText(), "前台");
  choose_pdf_entry();
  const QString pdf = Q(dir() / "小票.pdf");
  EXPECT_EQ(printers->currentText(), pdf);
  ASSERT_EQ(chooser.requests().size(), 2U);
  EXPECT_TRUE(chooser.requests()[1].proposal.endsWith(".pdf"));

  Click(*dialog, "saveButton");
  EXPECT_EQ(messages_.Texts(), Texts{"保存成功"});
  EXPECT_EQ(Column("printername"), pdf.toStdString());
}

// A device path is kept as typed, and an empty drawer command gets the default.
TEST_F(SettingsDialogTest, OddStoredValuesAreShownAndSavedBackAndOnlyCancelCloses) {
  SetColumn("displayport", "/dev/null");  // a device every machine has
  SetColumn("opencashiercmd", "");
  auto dialog = OpenDialog();
  EXPECT_EQ(Find<QComboBox>(*dialog, "displayPortCombo")->currentText(), "/dev/null");
  EXPECT_EQ(Find<QComboBox>(*dialog, "displayPortCombo")->count(), 4);
  EXPECT_EQ(Text(*dialog, "drawerCommandEdit"), "27, 112, 0, 128, 128");
  QTest::keyClick(dialog.get(), Qt::Key_F1);
  EXPECT_TRUE(dialog->isVisible());

  Click(*dialog, "saveButton");
  EXPECT_EQ(messages_.Texts(), Texts{"保存成功"});
  EXPECT_EQ(Column("opencashiercmd"), "27, 112, 0, 128, 128");
  EXPECT_EQ(Column("displayport"), "/dev/null");
  Click(*dialog, "cancelButton");
  EXPECT_FALSE(dialog->isVisible());
}

// A refusal of the core's checks and one of the screen's own name the problem, put the cursor
// on the field and write nothing; what was typed elsewhere stays on the screen.
TEST_F(SettingsDialogTest, RefusedSaveFocusesTheFieldAndWritesNothing) {
  store::Database db = Open();
  const std::string before = DumpTables(db);
  auto dialog = OpenDialog();
  Type(*dialog, "welcomeEdit", "changed");
  auto refused = [&](const QString& message, const char* field) {
    messages_.Clear();
    Click(*dialog, "saveButton");
    ASSERT_EQ(messages_.shown().size(), 1U) << field;
    EXPECT_TRUE(messages_.shown()[0].text.contains(message)) << field;
    EXPECT_EQ(dialog->focusWidget(), dialog->findChild<QWidget*>(field)) << field;
  };
  Choose(*dialog, "displayPortCombo", "com1");
  Choose(*dialog, "printerPortCombo", "com1");
  refused("客显端口与打印端口冲突", "displayPortCombo");
  Choose(*dialog, "printerPortCombo", "lpt1");
  Type(*dialog, "scaleIpEdit", "192.168.1");
  refused("电子称IP地址不正确", "scaleIpEdit");

  EXPECT_EQ(DumpTables(db), before);
  EXPECT_FALSE(std::filesystem::exists(dir() / "dhip.ini"));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(Text(*dialog, "welcomeEdit"), "changed");
}

TEST_F(SettingsDialogTest, UnknownRoundingMustBeChosenAndAnUnreadableDatabaseSavesNothing) {
  SetColumn("wipevalue", "7");
  auto dialog = OpenDialog();
  Click(*dialog, "saveButton");  // no rounding is ticked for the unknown value
  EXPECT_EQ(messages_.Texts(), Texts{"请选择抹零方式"});
  EXPECT_EQ(Column("wipevalue"), "7");

  // Once one is chosen the choices exclude each other again.
  QTest::mouseClick(Find<QRadioButton>(*dialog, "wipeYuanRadio"), Qt::LeftButton);
  QTest::mouseClick(Find<QRadioButton>(*dialog, "noWipeRadio"), Qt::LeftButton);
  EXPECT_FALSE(Find<QRadioButton>(*dialog, "wipeYuanRadio")->isChecked());
  Click(*dialog, "saveButton");
  EXPECT_EQ(messages_.Texts().back(), "保存成功");
  EXPECT_EQ(Column("wipevalue"), "2");

  messages_.Clear();
  std::filesystem::remove(dir() / "dhip.ini");
  std::filesystem::remove(store::DatabasePath());
  dialog = OpenDialog();
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(Find<QComboBox>(*dialog, "printerControlCombo")->currentText(), "");
  EXPECT_EQ(Text(*dialog, "emptyLinesEdit"), "");
  Click(*dialog, "saveButton");
  EXPECT_EQ(messages_.Texts(), Texts{"打印张数必须是不小于0的整数"});
  EXPECT_FALSE(std::filesystem::exists(dir() / "dhip.ini"));
}

}  // namespace
