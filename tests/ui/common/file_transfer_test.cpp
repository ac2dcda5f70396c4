#include <QProgressDialog>
#include <QRadioButton>
#include <QTreeWidget>

#include "core/common/clock.h"
#include "core/files/spreadsheet.h"
#include "ui/common/FileSearchDialog.h"
#include "ui/common/FileTransfer.h"
#include "ui/common/LongTask.h"
#include "ui/ui_test_support.h"

namespace {
namespace fs = std::filesystem;
using namespace testing_support;
using ui::ExportFormat;

class FileTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir();
    common::SetFixedClock(common::MakeTime(2014, 12, 5, 9, 30, 0));
  }
  void TearDown() override {
    common::SetFixedClock(std::nullopt);
    fs::remove_all(dir_);
  }

  fs::path dir_;
  ui::MessageBoxSeam messages_;
};

TEST_F(FileTransferTest, FormatDialogReturnsTheTickedFormatAndNothingOtherwise) {
  using Action = std::function<void(ui::ExportFormatDialog*)>;
  auto tick_then = [](const char* radio, const char* button) -> Action {
    return [=](ui::ExportFormatDialog* dialog) {
      EXPECT_EQ(dialog->windowTitle(), "导出格式");
      if (radio) Find<QRadioButton>(*dialog, radio)->setChecked(true);
      Click(*dialog, button);
    };
  };
  const std::vector<std::pair<Action, std::optional<ExportFormat>>> cases = {
      {tick_then("textRadio", "confirmButton"), ExportFormat::kText},
      {tick_then("excelRadio", "confirmButton"), ExportFormat::kSpreadsheet},
      {tick_then(nullptr, "confirmButton"), std::nullopt},
      {tick_then("excelRadio", "cancelButton"), std::nullopt},
  };
  for (const auto& [action, expected] : cases) {
    ModalDriver<ui::ExportFormatDialog> driver(action);
    EXPECT_EQ(ui::ExportFormatDialog::Choose(nullptr), expected);
    EXPECT_TRUE(driver.ran());
  }
}

TEST_F(FileTransferTest, ExportTableWritesTheChosenFormatUnderTheDefaultName) {
  FileSeams seams;
  auto& [formats, chooser] = seams;
  const files::Table table{{"条码", "售价"}, {{"6901", "3.50"}}};

  ui::ExportTable(nullptr, table, "销售流水查询", "查询结果");  // no format: nothing more
  EXPECT_EQ(formats.asked(), 1);
  EXPECT_TRUE(chooser.requests().empty());
  formats.SetNextAnswer(ExportFormat::kText);
  ui::ExportTable(nullptr, table, "销售流水查询", "查询结果");  // no target: nothing written
  EXPECT_TRUE(messages_.shown().empty());

  seams.Next(ExportFormat::kText, dir_ / "list.txt");
  ui::ExportTable(nullptr, table, "销售流水查询", "查询结果");
  EXPECT_EQ(FileBytes(dir_ / "list.txt"), "\xCC\xF5\xC2\xEB,\xCA\xDB\xBC\xDB,\r\n6901,3.50,\r\n");

  seams.Next(ExportFormat::kSpreadsheet, dir_ / "list.xlsx");
  ui::ExportTable(nullptr, table, "销售流水查询", "查询结果", {false, true});
  files::Sheet sheet = files::ReadSpreadsheet(dir_ / "list.xlsx", "查询结果");
  EXPECT_EQ(sheet.rows, (std::vector<std::vector<std::string>>{{"6901", "3.5"}}));

  ASSERT_EQ(chooser.requests().size(), 3u);
  EXPECT_EQ(chooser.requests()[1].proposal, "销售流水查询20141205093000.txt");
  EXPECT_EQ(chooser.requests()[2].proposal, "销售流水查询20141205093000.xlsx");

  seams.Next(ExportFormat::kText, dir_ / "nowhere" / "list.txt");
  ui::ExportTable(nullptr, table, "销售流水查询", "查询结果");
  const Texts said = messages_.Texts();
  ASSERT_EQ(said.size(), 3u);
  EXPECT_EQ(Texts(said.begin(), said.begin() + 2), Texts(2, "导出完成"));
  EXPECT_TRUE(said[2].startsWith("不能创建文件")) << said[2].toStdString();
}

TEST_F(FileTransferTest, CancelInTheProgressBoxStopsALongExportAndKeepsTheOldFile) {
  FileSeams seams;
  std::ofstream(dir_ / "list.txt") << "good old file";
  files::Table table{{"条码"}, std::vector<std::vector<std::string>>(300'000, {"6901"})};
  seams.Next(ExportFormat::kText, dir_ / "list.txt");
  QString label;
  ShownDriver<QProgressDialog> driver([&](QProgressDialog* box) {
    label = box->labelText();
    box->cancel();
  });
  ui::ExportTable(nullptr, table, "查询", "查询结果");
  EXPECT_TRUE(driver.ran());
  EXPECT_EQ(label, "数据导出中, 请稍候...");
  EXPECT_EQ(messages_.Texts(), Texts{"导出被取消"});
  EXPECT_EQ(FileBytes(dir_ / "list.txt"), "good old file");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  // Small work runs without a box and without progress.
  bool watched = true;
  EXPECT_TRUE(ui::RunWithProgress(nullptr, "x", ui::kProgressRows,
                                  [&](const files::Progress& p) { watched = bool(p); }));
  EXPECT_FALSE(watched);
}

TEST_F(FileTransferTest, ImportsChooseTextOrAnyWorkbookFile) {
  for (const char* name : {"a.xlsx", "b.ods", "c.xls", "d.txt", "e.csv"}) {
    std::ofstream(dir_ / name) << "x";
  }
  ui::FileSearchDialog dialog("xlsx ods xls", nullptr, {Q(dir_)});
  auto* tree = dialog.findChild<QTreeWidget*>("folderTree");
  tree->setCurrentItem(tree->topLevelItem(0));
  QStringList listed;
  for (int i = 0; i < tree->topLevelItem(0)->childCount(); ++i) {
    listed << tree->topLevelItem(0)->child(i)->text(0);
  }
  EXPECT_EQ(listed, (QStringList{"a.xlsx", "b.ods", "c.xls"}));

  FileSeams seams;
  seams.Next(ExportFormat::kSpreadsheet, dir_ / "b.ods");
  std::optional<ui::ImportSource> source = ui::ChooseImportSource(nullptr);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->format, ExportFormat::kSpreadsheet);
  EXPECT_EQ(source->path, Q(dir_ / "b.ods"));
  seams.formats.SetNextAnswer(ExportFormat::kText);
  EXPECT_FALSE(ui::ChooseImportSource(nullptr));  // chooser cancelled
  ASSERT_EQ(seams.chooser.requests().size(), 2u);
  EXPECT_EQ(seams.chooser.requests()[0].proposal, "xlsx ods xls");
  EXPECT_EQ(seams.chooser.requests()[1].proposal, "txt");
}

}  // namespace
