#include "ui/devices/QtDriverPrinter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/servicelib/kasso_basic.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::FileBytes;

// Width of the first page in points, from its media box.
double PageWidthPoints(const std::string& pdf) {
  std::smatch match;
  std::regex box(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+))");
  return std::regex_search(pdf, match, box) ? std::stod(match[1]) : 0;
}

class QtDriverPrinterTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(
        "insert into goodsmaster (barcode,goodsname,salesprice,givepoints) "
        "values ('6901','可口可乐 330ml',3.5,1);"
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,discountvalue,barcode,workno,shiftid,memberid) values "
        "(1,'销售','2024-05-01 09:30:00',2,3.5,7,0,'6901','0',0,'');"
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,actualvalue,barcode,paid,change,workno,memberid,cardpaid,shiftid,wipevalue,"
        "valuediscount,checkpaid,unionpaid) values "
        "(1,'销售总计','2024-05-01 09:30:00',2,7,'',10,3,'0','',0,0,0,0,0,0);");
  }
  void TearDown() override {
    print::SetDriverPrinter(nullptr);
    TestDatabase::TearDown();
  }
  void Settings(const std::string& mode, const std::string& printer_name) {
    Open().Exec("update management set printercontrol = ?, printername = ?", mode, printer_name);
  }
};

TEST_F(QtDriverPrinterTest, ReceiptRendersToAPdfPageOfRollWidth) {
  fs::path pdf = dir() / "receipt.pdf";
  ui::QtDriverPrinter printer(QString::fromStdString(pdf.string()));
  print::SetDriverPrinter(&printer);
  Settings("驱动打印", "");
  EXPECT_EQ(servicelib::ReceiptPrintByTranNo(1), "");
  std::string text = FileBytes(pdf);
  ASSERT_TRUE(text.starts_with("%PDF")) << pdf;
  EXPECT_GT(text.size(), 2000u);
  EXPECT_NE(text.find("/Type /Page"), std::string::npos);
  // 58 mm = 164.4 points, 76 mm = 215.4 points.
  EXPECT_NEAR(PageWidthPoints(text), 164.4, 1.0);

  Settings("驱动76mm", "");
  EXPECT_EQ(servicelib::ReceiptPrintByTranNo(1), "");
  EXPECT_NEAR(PageWidthPoints(FileBytes(pdf)), 215.4, 1.0);
}

TEST_F(QtDriverPrinterTest, InstalledPrinterWritesToANamedPdfOrNamesTheMissingPrinter) {
  ui::InstallDriverPrinter();
  fs::path pdf = dir() / "till.pdf";
  Settings("驱动打印", pdf.string());
  EXPECT_EQ(servicelib::OpenMoneyBoxPrint("0"), "");
  EXPECT_TRUE(FileBytes(pdf).starts_with("%PDF"));

  Settings("驱动打印", "没有这台打印机");
  EXPECT_EQ(servicelib::ReceiptPrintByTranNo(1), "小票打印失败: 找不到打印机 没有这台打印机");
}

}  // namespace
