#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/AuthorizationDialog.h"
#include "app/FileSearchDialog.h"
#include "app/FolderDialog.h"
#include "app/LoginDialog.h"
#include "app/ManualBackup.h"
#include "app/RestoreDatabase.h"
#include "app/backup.h"
#include "app/startup.h"
#include "common/MessageBox.h"
#include "common/clock.h"
#include "store/database.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"

namespace {
namespace fs = std::filesystem;
using testing_support::ModalDriver;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

QStringList Labels(const QTreeWidgetItem* item) {
  QStringList labels;
  for (int i = 0; i < item->childCount(); ++i) labels << item->child(i)->text(0);
  return labels;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const QString& label) {
  for (int i = 0; i < item->childCount(); ++i) {
    if (item->child(i)->text(0) == label) return item->child(i);
  }
  return nullptr;
}

// A small disk: disk/a.dat, disk/b.txt, disk/old/c.dat.
class BackupRestoreDialogsTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    kasso::SetFixedClock(kasso::MakeTime(2014, 12, 5, 9, 30, 0));
    disk_ = dir() / "disk";
    fs::create_directories(disk_ / "old");
    std::ofstream(disk_ / "a.dat") << "a";
    std::ofstream(disk_ / "b.txt") << "b";
    std::ofstream(disk_ / "old" / "c.dat") << "c";
  }

  static QLineEdit* Field(QWidget& dialog) { return dialog.findChild<QLineEdit*>("fileNameEdit"); }
  static QPushButton* Button(QWidget& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
  }
  static QTreeWidget* Tree(QWidget& dialog) { return dialog.findChild<QTreeWidget*>("folderTree"); }

  fs::path disk_;
  ui::MessageBoxSeam messages_;
};

TEST_F(BackupRestoreDialogsTest, FolderDialogProposesTheDefaultNameInTheChosenFolder) {
  EXPECT_EQ(app::FolderDialog("excel", "商品").defaultName(), "商品20141205093000.xls");
  EXPECT_EQ(app::FolderDialog("", "标签").defaultName(), "标签20141205093000.db");
  EXPECT_EQ(app::FolderDialog("", "会员").defaultName(), "会员20141205093000.txt");

  app::FolderDialog dialog("", "数据", nullptr, {Q(disk_)});
  EXPECT_EQ(dialog.windowTitle(), "文件管理");
  dialog.show();
  QTreeWidgetItem* root = Tree(dialog)->topLevelItem(0);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->childCount(), 0);  // read when first selected

  Tree(dialog)->setCurrentItem(root);
  EXPECT_EQ(Labels(root), QStringList{"old"});  // folders only
  EXPECT_EQ(Field(dialog)->text(), Q(disk_ / "备份20141205093000.dat"));
  Tree(dialog)->setCurrentItem(Child(root, "old"));
  EXPECT_EQ(Field(dialog)->text(), Q(disk_ / "old" / "备份20141205093000.dat"));
  Tree(dialog)->setCurrentItem(root);
  EXPECT_EQ(Labels(root), QStringList{"old"});  // read once per folder

  Button(dialog, "confirmButton")->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.chosenPath(), Q(disk_ / "备份20141205093000.dat"));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(BackupRestoreDialogsTest, FolderDialogTakesAnEditedNameAndRefusesABadOne) {
  app::FolderDialog dialog("", "数据", nullptr, {Q(disk_)});
  dialog.show();
  Button(dialog, "confirmButton")->click();
  Field(dialog)->setText(Q(disk_ / "nowhere" / "x.dat"));
  Button(dialog, "confirmButton")->click();
  Field(dialog)->setText(Q(disk_ / "old"));
  Button(dialog, "confirmButton")->click();
  EXPECT_EQ(messages_.Texts(),
            (std::vector<QString>{"请选择文件夹", "文件名称有误", "文件名称有误"}));
  EXPECT_TRUE(dialog.isVisible());

  Field(dialog)->setText(Q(disk_ / "old" / "我的备份.dat"));
  Button(dialog, "confirmButton")->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.chosenPath(), Q(disk_ / "old" / "我的备份.dat"));

  app::FolderDialog cancelled("", "数据", nullptr, {Q(disk_)});
  cancelled.show();
  Button(cancelled, "cancelButton")->click();
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

TEST_F(BackupRestoreDialogsTest, FileSearchDialogOffersMatchingFilesAndRefusesFolders) {
  app::FileSearchDialog dialog("dat", nullptr, {Q(disk_)});
  EXPECT_EQ(dialog.windowTitle(), "文件搜索");
  dialog.show();
  QTreeWidgetItem* root = Tree(dialog)->topLevelItem(0);
  Tree(dialog)->setCurrentItem(root);
  EXPECT_EQ(Labels(root), (QStringList{"old", "a.dat"}));
  EXPECT_EQ(Field(dialog)->text(), Q(disk_));

  Button(dialog, "confirmButton")->click();
  EXPECT_EQ(messages_.Texts(), std::vector<QString>{"不能用文件夹恢复，请选择文件"});
  EXPECT_TRUE(dialog.isVisible());

  // Files in sub-folders can be reached too.
  Tree(dialog)->setCurrentItem(Child(root, "old"));
  EXPECT_EQ(Labels(Child(root, "old")), QStringList{"c.dat"});
  Tree(dialog)->setCurrentItem(Child(Child(root, "old"), "c.dat"));
  EXPECT_EQ(Field(dialog)->text(), Q(disk_ / "old" / "c.dat"));
  Button(dialog, "confirmButton")->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.chosenPath(), Q(disk_ / "old" / "c.dat"));
}

TEST_F(BackupRestoreDialogsTest, ManualBackupWritesWhereChosenAndSaysHowItWent) {
  app::FileChooserSeam chooser;
  app::BackUpToChosenFolder(nullptr);  // chooser cancelled: nothing is said
  EXPECT_TRUE(messages_.shown().empty());
  ASSERT_EQ(chooser.requests().size(), 1u);
  EXPECT_EQ(chooser.requests()[0].title, "文件管理");
  EXPECT_EQ(chooser.requests()[0].proposal, "备份20141205093000.dat");

  fs::path target = disk_ / "备份20141205093000.dat";
  Open().Exec("insert into goodsmaster (barcode,goodsname) values ('6901','可乐')");
  chooser.SetNextAnswer(Q(target));
  app::BackUpToChosenFolder(nullptr);

  // Twice within one second: the same name is proposed and the second copy replaces the first.
  Open().Exec("insert into goodsmaster (barcode,goodsname) values ('6902','薯片')");
  chooser.SetNextAnswer(Q(target));
  app::BackUpToChosenFolder(nullptr);
  EXPECT_EQ(chooser.requests()[2].proposal, "备份20141205093000.dat");
  {
    store::Database copy(target);
    EXPECT_EQ(copy.QueryInt("select count(*) from goodsmaster where barcode in ('6901','6902')"),
              2);
  }
  EXPECT_FALSE(fs::exists(disk_ / "备份20141205093000.dat.part"));

  chooser.SetNextAnswer(Q(disk_ / "nowhere" / "x.dat"));
  app::BackUpToChosenFolder(nullptr);
  EXPECT_EQ(messages_.Texts(), (std::vector<QString>{"备份成功", "备份成功", "备份失败"}));
  EXPECT_FALSE(fs::exists(disk_ / "nowhere"));
}

class RestoreFlowTest : public BackupRestoreDialogsTest {
 protected:
  // Runs the login dialog's restore with the right password and the given chooser answer.
  void Restore(std::optional<fs::path> answer) {
    chooser_.SetNextAnswer(answer ? std::optional<QString>(Q(*answer)) : std::nullopt);
    ModalDriver<app::AuthorizationDialog> authorization([](app::AuthorizationDialog* prompt) {
      prompt->findChild<QLineEdit*>("passwordEdit")->setText(app::kAuthorizationPassword);
      prompt->findChild<QPushButton*>("confirmButton")->click();
    });
    app::RestoreDatabase(nullptr);
    EXPECT_TRUE(authorization.ran());
  }

  app::FileChooserSeam chooser_;
};

TEST_F(RestoreFlowTest, ChecksTheChosenFileBeforeReplacingTheWorkingOne) {
  Open().Exec("insert into goodsmaster (barcode,goodsname) values ('6901','可乐')");
  fs::path backup = disk_ / "good.dat";
  app::CopyDatabaseTo(backup);
  Open().Exec("delete from goodsmaster");
  const std::string working = Bytes(store::DatabasePath());

  Restore(disk_ / "a.dat");  // one letter of text, not a database
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_TRUE(messages_.shown()[0].text.contains("数据恢复失败"));
  EXPECT_EQ(messages_.shown()[0].title, "确认");
  EXPECT_EQ(Bytes(store::DatabasePath()), working);

  Restore(std::nullopt);  // chooser cancelled: nothing is said, nothing changes
  EXPECT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(Bytes(store::DatabasePath()), working);

  Restore(backup);
  EXPECT_EQ(messages_.Texts().back(), "数据恢复成功");
  EXPECT_TRUE(Open().HasRow("select 1 from goodsmaster where barcode = '6901'"));
  EXPECT_EQ(Bytes(app::BackupFolder() / "恢复前20141205093000.dat"), working);
  ASSERT_EQ(chooser_.requests().size(), 3u);
  EXPECT_EQ(chooser_.requests()[0].title, "文件搜索");
  EXPECT_EQ(chooser_.requests()[0].proposal, "dat");
}

// The clock fires under whatever screen is on top; its failure must not take that screen over.
TEST(BackupClockMessageTest, FailureIsShownWithoutAModalBoxAndOnlyOnce) {
  fs::path dir = testing_support::MakeTempDir();
  store::SetDataDirectory(dir);  // no kasso.db there: the backup fails
  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 2, 0, 0));
  {
    app::LoginDialog login;
    ModalDriver<QMessageBox> modal([](QMessageBox* box) { box->reject(); });
    login.TickBackupClock();
    login.TickBackupClock();
    EXPECT_FALSE(modal.ran());
    int boxes = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(window);
      if (!box || box->objectName() != "clockMessage") continue;
      ++boxes;
      EXPECT_EQ(box->text(), "时钟有误");
      EXPECT_EQ(box->windowTitle(), "Tillwise");
      EXPECT_TRUE(box->isVisible());
      EXPECT_EQ(box->windowModality(), Qt::NonModal);
    }
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
  kasso::SetFixedClock(std::nullopt);
  store::SetDataDirectory({});
  fs::remove_all(dir);
}

}  // namespace
