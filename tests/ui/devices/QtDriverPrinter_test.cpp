#include "ui/devices/QtDriverPrinter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/sale/receipts.h"
#include "support/test_database.h"
#include "ui/labels/label_test_support.h"

namespace {
namespace fs = std::filesystem;
using testing_support::FileBytes;
using testing_support::PdfPageSizeMm;

class QtDriverPrinterTest : public testing_support::TestDatabase {
 protected:
  void TearDown() override {
    print::SetDriverPrinter(nullptr);
    TestDatabase::TearDown();
  }
  void Settings(const std::string& mode, const std::string& printer_name) {
    Open().Exec("update management set printercontrol = ?, printername = ?", mode, printer_name);
  }
};

// The drawer note stands for every slip: what is on it is proven in core.
TEST_F(QtDriverPrinterTest, SlipRendersToAPdfPageOfRollWidth) {
  fs::path pdf = dir() / "slip.pdf";
  ui::QtDriverPrinter printer(QString::fromStdString(pdf.string()));
  print::SetDriverPrinter(&printer);
  Settings("驱动打印", "");
  EXPECT_EQ(sale::PrintDrawerNote("0"), "");
  EXPECT_EQ(testing_support::PdfPageCount(pdf), 1);
  EXPECT_GT(FileBytes(pdf).size(), 2000u);  // something was drawn on it
  EXPECT_NEAR(PdfPageSizeMm(pdf).first, 58, 0.4);

  Settings("驱动76mm", "");
  EXPECT_EQ(sale::PrintDrawerNote("0"), "");
  EXPECT_NEAR(PdfPageSizeMm(pdf).first, 76, 0.4);
}

TEST_F(QtDriverPrinterTest, InstalledPrinterWritesToANamedPdfOrNamesTheMissingPrinter) {
  ui::InstallDriverPrinter();
  fs::path pdf = dir() / "till.pdf";
  Settings("驱动打印", pdf.string());
  EXPECT_EQ(sale::PrintDrawerNote("0"), "");
  EXPECT_TRUE(FileBytes(pdf).starts_with("%PDF"));

  Settings("驱动打印", "没有这台打印机");
  EXPECT_EQ(sale::PrintDrawerNote("0"), "开钱箱小票打印失败: 找不到打印机 没有这台打印机");
}

}  // namespace
