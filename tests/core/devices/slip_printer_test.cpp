#include "core/devices/slip_printer.h"

#include <gtest/gtest.h>

#include <tuple>

#include "../devices/pty.h"
#include "core/common/clock.h"
#include "core/common/text_encoding.h"
#include "core/devices/port.h"
#include "core/sale/receipts.h"
#include "support/test_database.h"

namespace {
using namespace std::string_literals;
using kasso::Utf8ToGbk;

// Records what the driver modes hand over, and answers what the test wants.
struct FakeDriver : print::DriverPrinter {
  std::string Print(const print::Slip& slip, const std::string& printer_name,
                    int paper_mm) override {
    ++calls;
    last_slip = slip;
    last_name = printer_name;
    last_paper = paper_mm;
    return answer;
  }
  int calls = 0;
  print::Slip last_slip;
  std::string last_name;
  int last_paper = 0;
  std::string answer;
};

// Bill 1: two colas paid with 10.00 cash.
class SlipPrinterTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(
        "insert into goodsmaster (barcode,goodsname,salesprice,givepoints) "
        "values ('6901','可乐',3.5,1);"
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,discountvalue,barcode,workno,shiftid,memberid) values "
        "(1,'销售','2024-05-01 09:30:00',2,3.5,7,0,'6901','0',0,'');"
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,actualvalue,barcode,paid,change,workno,memberid,cardpaid,shiftid,wipevalue,"
        "valuediscount,checkpaid,unionpaid) values "
        "(1,'销售总计','2024-05-01 09:30:00',2,7,'',10,3,'0','',0,0,0,0,0,0);"
        "update management set welcome = '欢迎光临', bye = '谢谢惠顾', emptylines = 3;");
    ASSERT_FALSE(printer_.slave_path().empty());
  }
  void TearDown() override {
    for (const char* port : {"com1", "com2", "lpt1"}) devices::OverridePortPath(port, {});
    print::SetDriverPrinter(nullptr);
    TestDatabase::TearDown();
  }
  void Settings(const std::string& mode, const std::string& port) {
    Open().Exec("update management set printercontrol = ?, printerport = ?", mode, port);
  }

  PseudoTerminal printer_;
};

TEST_F(SlipPrinterTest, SerialAndParallelPortsGetEscPosInGbkAndOtherModesPrintNothing) {
  devices::OverridePortPath("com1", printer_.slave_path());
  Settings("POS58", "COM1");
  EXPECT_EQ(sale::PrintSaleReceipt(1), "");
  std::string bytes = printer_.ReadAll();
  EXPECT_TRUE(bytes.starts_with("\x1b@")) << bytes;
  EXPECT_NE(bytes.find("\x1b\x61\x01"s + "\x1b\x45\x01" + Utf8ToGbk("欢迎光临") + "\n"),
            std::string::npos);
  EXPECT_NE(bytes.find(Utf8ToGbk("可乐") + "\n"), std::string::npos);
  // A caption-and-amount line fills the 32 columns of the paper: 32 GBK bytes.
  size_t change = bytes.find(Utf8ToGbk("找零"));
  ASSERT_NE(change, std::string::npos);
  EXPECT_EQ(bytes.find('\n', change), change + 32);
  // The footer, then the three blank lines of emptylines.
  EXPECT_EQ(bytes.substr(bytes.rfind(Utf8ToGbk("谢谢惠顾"))), Utf8ToGbk("谢谢惠顾") + "\n\n\n\n");
  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 1, 18, 0, 0));
  devices::OverridePortPath("lpt1", printer_.slave_path());
  Settings("POS58", "lpt1");
  EXPECT_EQ(sale::PrintPettySlip(-20, "管理员"), "");
  EXPECT_NE(printer_.ReadAll().find(Utf8ToGbk("提取备用金")), std::string::npos);
  EXPECT_EQ(sale::PrintDrawerNote("0"), "");
  EXPECT_NE(printer_.ReadAll().find(Utf8ToGbk("管理员")), std::string::npos);
  EXPECT_EQ(sale::PrintShiftSlip(5), "班结小票打印失败: 班次 5 不存在");
  EXPECT_EQ(printer_.ReadAll(50), "");
  devices::OverridePortPath("com1", printer_.slave_path());
  devices::OverridePortPath("com2", printer_.slave_path());
  FakeDriver driver;
  print::SetDriverPrinter(&driver);
  for (const auto& [mode, port] : {std::pair{"不打印", "com1"}, std::pair{"", "com1"},
                                   std::pair{"POS58", "com2"}, std::pair{"POS58", "usb001"}}) {
    Settings(mode, port);
    EXPECT_EQ(sale::PrintSaleReceipt(1), "") << mode << " " << port;
    // Nothing prints, so an unknown bill is not even looked for.
    EXPECT_EQ(sale::PrintSaleReceipt(99), "");
  }
  EXPECT_EQ(printer_.ReadAll(50), "");
  EXPECT_EQ(driver.calls, 0);
}

TEST_F(SlipPrinterTest, FailuresComeBackAsMessages) {
  Settings("POS58", "com1");
  devices::OverridePortPath("com1", printer_.slave_path());
  EXPECT_EQ(sale::PrintSaleReceipt(99), "小票打印失败: 流水号 99 不存在");
  // A petty-cash booking has a number of its own but is no sale.
  Open().Exec(
      "insert into transactiondetails (transactionnumber,transactiontype,actualvalue) "
      "values (2,'备用金',100)");
  EXPECT_EQ(sale::PrintSaleReceipt(2), "小票打印失败: 流水号 2 不存在");
  EXPECT_EQ(printer_.ReadAll(50), "");
  devices::OverridePortPath("com1", dir() / "no-such-port");
  EXPECT_EQ(sale::PrintSaleReceipt(1), "小票打印失败: 打印端口 com1 打不开");
  Settings("驱动打印", "com1");
  EXPECT_EQ(sale::PrintSaleReceipt(1), "小票打印失败: 没有可用的驱动打印机");
  Open().Exec("delete from management");
  EXPECT_EQ(sale::PrintSaleReceipt(1), "小票打印失败: 读不到打印设置");
}

TEST_F(SlipPrinterTest, DriverModesGetPaperWidthAndPrinterName) {
  FakeDriver driver;
  print::SetDriverPrinter(&driver);
  Open().Exec("update management set printername = '前台', emptylines = 4");
  Settings("驱动76mm", "");
  EXPECT_EQ(sale::PrintSaleReceipt(1), "");
  EXPECT_EQ(std::tie(driver.last_name, driver.last_paper, driver.last_slip.columns,
                     driver.last_slip.feed_lines),
            std::make_tuple("前台"s, 76, 42, 4));
  EXPECT_EQ(driver.last_slip.lines.front().text, "欢迎光临");
  Settings("驱动打印", "");
  driver.answer = "找不到打印机 前台";
  EXPECT_EQ(sale::PrintSaleReceipt(1), "小票打印失败: 找不到打印机 前台");
  EXPECT_EQ(std::tie(driver.last_paper, driver.last_slip.columns), std::make_tuple(58, 32));
}

}  // namespace
