#include <QTreeWidget>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "ui/app/AuthorizationDialog.h"
#include "ui/app/ManualBackup.h"
#include "ui/app/RestoreDatabase.h"
#include "ui/common/FileSearchDialog.h"
#include "ui/ui_test_support.h"

namespace {
namespace fs = std::filesystem;
using namespace testing_support;

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
class BackupRestoreDialogsTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    common::SetFixedClock(common::MakeTime(2014, 12, 5, 9, 30, 0));
    disk_ = dir() / "disk";
    fs::create_directories(disk_ / "old");
    std::ofstream(disk_ / "a.dat") << "a";
    std::ofstream(disk_ / "b.txt") << "b";
    std::ofstream(disk_ / "old" / "c.dat") << "c";
  }

  static QLineEdit* Field(QWidget& dialog) { return dialog.findChild<QLineEdit*>("fileNameEdit"); }
  static QTreeWidget* Tree(QWidget& dialog) { return dialog.findChild<QTreeWidget*>("folderTree"); }

  fs::path disk_;
  ui::MessageBoxSeam messages_;
};

TEST_F(BackupRestoreDialogsTest, FolderDialogProposesTheDefaultNameAndRefusesABadOne) {
  EXPECT_EQ(ui::FolderDialog("excel", "商品").defaultName(), "商品20141205093000.xlsx");
  EXPECT_EQ(ui::FolderDialog("", "标签").defaultName(), "标签20141205093000.db");
  EXPECT_EQ(ui::FolderDialog("", "会员").defaultName(), "会员20141205093000.txt");

  ui::FolderDialog dialog("", "数据", nullptr, {Q(disk_)});
  dialog.show();
  Click(dialog, "confirmButton");  // nothing chosen yet
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

  for (const fs::path& bad : {disk_ / "nowhere" / "x.dat", disk_ / "old"}) {
    Field(dialog)->setText(Q(bad));
    Click(dialog, "confirmButton");
  }
  EXPECT_EQ(messages_.Texts(), (Texts{"请选择文件夹", "文件名称有误", "文件名称有误"}));
  EXPECT_TRUE(dialog.isVisible());

  Field(dialog)->setText(Q(disk_ / "old" / "我的备份.dat"));
  Click(dialog, "confirmButton");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.chosenPath(), Q(disk_ / "old" / "我的备份.dat"));

  // Opened on a folder, the name is proposed there at once; one outside the roots comes first.
  ui::FolderDialog started("", "数据", nullptr, {Q(disk_ / "old")});
  started.StartAt(Q(disk_));
  EXPECT_EQ(Field(started)->text(), Q(disk_ / "备份20141205093000.dat"));
  EXPECT_EQ(Labels(Tree(started)->invisibleRootItem()), (QStringList{Q(disk_), Q(disk_ / "old")}));

  ui::FolderDialog cancelled("", "数据", nullptr, {Q(disk_)});
  cancelled.show();
  Click(cancelled, "cancelButton");
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

TEST_F(BackupRestoreDialogsTest, FileSearchDialogOffersMatchingFilesAndRefusesFolders) {
  ui::FileSearchDialog dialog("dat", nullptr, {Q(disk_)});
  dialog.show();
  QTreeWidgetItem* root = Tree(dialog)->topLevelItem(0);
  Tree(dialog)->setCurrentItem(root);
  EXPECT_EQ(Labels(root), (QStringList{"old", "a.dat"}));
  EXPECT_EQ(Field(dialog)->text(), Q(disk_));
  Click(dialog, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"不能用文件夹恢复，请选择文件"});
  EXPECT_TRUE(dialog.isVisible());

  // Files in sub-folders can be reached too.
  Tree(dialog)->setCurrentItem(Child(root, "old"));
  EXPECT_EQ(Labels(Child(root, "old")), QStringList{"c.dat"});
  Tree(dialog)->setCurrentItem(Child(Child(root, "old"), "c.dat"));
  Click(dialog, "confirmButton");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.chosenPath(), Q(disk_ / "old" / "c.dat"));
}

TEST_F(BackupRestoreDialogsTest, ManualBackupWritesWhereChosenAndSaysHowItWent) {
  ui::FileChooserSeam chooser;
  ui::BackUpToChosenFolder(nullptr, {});  // chooser cancelled: nothing is said
  EXPECT_TRUE(messages_.shown().empty());
  ASSERT_EQ(chooser.requests().size(), 1u);
  EXPECT_EQ(chooser.requests()[0].title, "文件管理");
  EXPECT_EQ(chooser.requests()[0].proposal, "备份20141205093000.dat");
  // Without a USB stick it opens on the backup folder, made for the purpose.
  EXPECT_EQ(chooser.requests()[0].start, Q(fs::absolute(app::BackupFolder())));
  EXPECT_TRUE(fs::is_directory(app::BackupFolder()));

  // Twice within one second: the same name is proposed and the second copy replaces the first.
  fs::path target = disk_ / "备份20141205093000.dat";
  for (const char* barcode : {"6901", "6902"}) {
    Open().Exec("insert into goodsmaster (barcode,goodsname) values (?,'可乐')", barcode);
    chooser.SetNextAnswer(Q(target));
    ui::BackUpToChosenFolder(nullptr, {Q(disk_)});
  }
  EXPECT_EQ(chooser.requests()[2].proposal, "备份20141205093000.dat");
  EXPECT_EQ(chooser.requests()[2].start, Q(disk_));  // a mounted stick comes first
  EXPECT_EQ(store::Database(target).QueryInt(
                "select count(*) from goodsmaster where barcode in ('6901','6902')"),
            2);

  chooser.SetNextAnswer(Q(disk_ / "nowhere" / "x.dat"));
  ui::BackUpToChosenFolder(nullptr, {});
  const QString done = "备份成功: " + Q(target);
  EXPECT_EQ(messages_.Texts(), (Texts{done, done, "备份失败"}));
  EXPECT_FALSE(fs::exists(disk_ / "nowhere"));
}

// Which files are refused is proven in core; here the whole flow from the login screen.
TEST_F(BackupRestoreDialogsTest, RestoreChecksTheChosenFileBeforeReplacingTheWorkingOne) {
  ui::FileChooserSeam chooser;
  auto restore = [&](std::optional<QString> answer) {
    chooser.SetNextAnswer(std::move(answer));
    ModalDriver<ui::AuthorizationDialog> authorization(Authorize);
    ui::RestoreDatabase(nullptr);
    EXPECT_TRUE(authorization.ran());
  };
  Open().Exec("insert into goodsmaster (barcode,goodsname) values ('6901','可乐')");
  fs::path backup = disk_ / "good.dat";
  app::CopyDatabaseTo(backup);
  Open().Exec("delete from goodsmaster");
  const std::string working = FileBytes(store::DatabasePath());

  restore(Q(disk_ / "a.dat"));  // one letter of text, not a database
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_TRUE(messages_.shown()[0].text.contains("数据恢复失败"));
  EXPECT_EQ(FileBytes(store::DatabasePath()), working);

  restore(std::nullopt);  // chooser cancelled: nothing is said, nothing changes
  EXPECT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(FileBytes(store::DatabasePath()), working);

  restore(Q(backup));
  EXPECT_EQ(messages_.Texts().back(), "数据恢复成功");
  EXPECT_TRUE(Open().HasRow("select 1 from goodsmaster where barcode = '6901'"));
  EXPECT_EQ(FileBytes(app::BackupFolder() / "恢复前20141205093000.dat"), working);
  ASSERT_EQ(chooser.requests().size(), 3u);
  EXPECT_EQ(chooser.requests()[0].title, "文件搜索");
  EXPECT_EQ(chooser.requests()[0].proposal, "dat");
}

}  // namespace
