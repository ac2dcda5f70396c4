// The daily report's preview window and its printing.

#include "ui/reports/DailyReportWindow.h"

#include <QScrollArea>
#include <QScrollBar>

#include "core/common/clock.h"
#include "ui/labels/label_test_support.h"
#include "ui/reports/ReportPrinter.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class DailyReportWindowTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    common::SetFixedClock(common::MakeTime(2024, 5, 2, 8, 0, 0));
    Open().ExecScript(
        "insert into importbak values ('1',12,2.5,30,'2024-05-01 08:00:00');"
        "insert into importbak values ('1',99,2.5,30,'2024-05-02 08:00:00');");
    window_ = std::make_unique<ui::DailyReportWindow>(
        nullptr, reports::MakeDateRange({2024, 5, 1}, {2024, 5, 1}));
  }

  ui::MessageBoxSeam messages_;
  std::unique_ptr<ui::DailyReportWindow> window_;
};

TEST_F(DailyReportWindowTest,
       ShowsTheRangesFiguresOnOnePageAndZoomsFromFiftyToFiveThousandPercent) {
  const ui::DailyReportText& text = window_->text();
  EXPECT_EQ(text.title, "营业日报表");
  EXPECT_EQ(text.header, (QStringList{"报表时间: 2024-05-02 08:00", "起始日期: 2024-05-01",
                                      "截止日期: 2024-05-01"}));
  ASSERT_EQ(text.preview_rows.size(), 16);
  EXPECT_EQ(text.preview_rows[4], (QPair<QString, QString>{"进货数量", "12.00"}));
  EXPECT_EQ(TextsOf(*window_, {"pageCountCaption", "pageCountLabel", "currentPageCaption",
                               "currentPageLabel", "zoomCaption", "zoomLabel"}),
            (Texts{"总页数：", "1 页", "当前页：", "第 1 页", "缩放比例：", " % 100"}));
  EXPECT_TRUE(messages_.shown().empty());

  window_->resize(800, 600);
  window_->show();
  QWidget* page = Find<QWidget>(*window_, "reportPage");
  const int width_at_100 = page->width();
  auto* scroll = Find<QScrollArea>(*window_, "pageScrollArea");

  Click(*window_, "zoomOutButton");
  EXPECT_EQ(window_->zoom(), 50);
  Click(*window_, "zoomOutButton");  // no further
  EXPECT_EQ(window_->zoom(), 50);
  EXPECT_NEAR(page->width(), width_at_100 / 2, 1);

  for (int i = 0; i < 98; ++i) Click(*window_, "zoomInButton");
  EXPECT_EQ(window_->zoom(), 4950);
  scroll->verticalScrollBar()->setValue(500);
  Click(*window_, "zoomInButton");
  EXPECT_EQ(window_->zoom(), 5000);
  EXPECT_EQ(scroll->verticalScrollBar()->value(), 0);  // back to the top left
  Click(*window_, "zoomInButton");                     // no further
  EXPECT_EQ(window_->zoom(), 5000);
  EXPECT_NEAR(page->width(), width_at_100 * 50, 50);
  EXPECT_EQ(Text(*window_, "zoomLabel"), " % 5000");
}

TEST_F(DailyReportWindowTest, PrintsOnePageAndSaysWhereAndWithoutAPrinterOffersAPdfFile) {
  const std::filesystem::path pdf = dir() / "report.pdf";
  {
    ui::ReportPrinterSeam printer(Q(pdf));
    Click(*window_, "printButton");
  }
  const std::string bytes = FileBytes(pdf);
  ASSERT_TRUE(bytes.starts_with("%PDF")) << bytes.substr(0, 20);
  EXPECT_EQ(PdfPageCount(pdf), 1);
  EXPECT_EQ(messages_.Texts(), Texts{"已打印到 PDF: " + Q(pdf)});

  // No printer: "否" prints nothing; "是" asks for the file, a name typed without ".pdf" too.
  ui::ReportPrinterSeam none("没有这台打印机");
  ui::FileChooserSeam chooser;
  const QString asked = "没有找到打印机,是否保存为 PDF 文件?";
  messages_.Clear();
  Click(*window_, "printButton");
  EXPECT_EQ(messages_.Texts(), Texts{asked});
  EXPECT_TRUE(chooser.requests().empty());

  chooser.SetNextAnswer(Q(dir() / "日报"));
  messages_.SetNextAnswer(true);
  messages_.Clear();
  Click(*window_, "printButton");
  const std::filesystem::path chosen = dir() / "日报.pdf";
  EXPECT_EQ(PdfPageCount(chosen), 1);
  EXPECT_EQ(messages_.Texts(), (Texts{asked, "已打印到 PDF: " + Q(chosen)}));
  ASSERT_EQ(chooser.requests().size(), 1U);
  EXPECT_EQ(chooser.requests()[0].title, "文件管理");
  EXPECT_EQ(chooser.requests()[0].proposal, "营业日报表20240502080000.pdf");
}

}  // namespace
