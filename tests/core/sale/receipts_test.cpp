#include "core/sale/receipts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/common/clock.h"
#include "core/common/format.h"
#include "core/devices/slip.h"
#include "support/test_database.h"

namespace {

// Captions each followed by the value printed right of it.
using Figures = std::vector<std::string>;

// A sale as the commit leaves it in the journal: three lines (one weighed, one with a line
// discount), round-off to the jiao, an allowance, cash and stored value, for a member who
// collects points and holds stored value.
class ReceiptTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    store::Database db = Open();
    db.ExecScript(
        "update management set welcome = '好邻居便利店', bye = '谢谢惠顾', basevalue = 10, "
        "pointsvalue = 1;"
        "insert into operatormaster values ('001','张三','1','收银员');"
        "insert into goodsmaster (barcode,goodsname,salesprice,givepoints) values "
        "('6901','可乐',3.5,1),('2001','苹果',10,0),('6902','毛巾',20,1);"
        "insert into membermaster (memberid,membername,memberpointsmode,memberpointsvalue,"
        "depositmode,depositvalue) values ('M01','李四','是',102,'是',40),"
        "('M02','王五','否',0,'否',0);");
    const char* line =
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,discountrate,discountvalue,barcode,workno,shiftid,memberid,"
        "valuediscount,pricediscount) values (7,'销售','2024-05-01 09:30:00',?,?,?,?,?,?,'001',"
        "0,'M01',0,0)";
    db.Exec(line, 2.0, 3.5, 7.0, 1.0, 0.0, "6901");
    db.Exec(line, 0.455, 10.0, 4.55, 1.0, 0.0, "2001");
    db.Exec(line, 1.0, 20.0, 18.0, 0.9, 2.0, "6902");
    db.Exec(
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,discountrate,discountvalue,barcode,paid,change,workno,"
        "memberid,cardpaid,shiftid,wipevalue,valuediscount,pricediscount,checkpaid,unionpaid) "
        "values (7,'销售总计','2024-05-01 09:30:00',3.455,0,29.5,0,2,'',20,2.5,'001','M01',10,"
        "0,0.05,2,0,0,0)");
  }

  // The value printed right of a caption, "(none)" when there is no such line; fails the test
  // when the line does not fill the paper exactly.
  static std::string Value(const print::Slip& slip, const std::string& caption) {
    for (const auto& line : slip.lines) {
      if (!line.text.starts_with(caption + " ")) continue;
      EXPECT_EQ(print::DisplayWidth(line.text), slip.columns) << line.text;
      return common::Trim(line.text.substr(caption.size()));
    }
    return "(none)";
  }
  static void ExpectFigures(const print::Slip& slip, const Figures& figures) {
    for (size_t i = 0; i + 1 < figures.size(); i += 2) {
      EXPECT_EQ(Value(slip, figures[i]), figures[i + 1]) << figures[i];
    }
  }
  static bool HasLine(const print::Slip& slip, const std::string& text) {
    return std::any_of(slip.lines.begin(), slip.lines.end(),
                       [&](const auto& line) { return common::Trim(line.text) == text; });
  }
};

TEST_F(ReceiptTest, EveryFigureOfTheBillMembersWithoutPointsAndTheShiftDrawerAndPettySlips) {
  store::Database db = Open();
  print::Slip slip = sale::ComposeSaleReceipt(db, 7, print::kColumns58mm);
  ASSERT_FALSE(slip.lines.empty());
  EXPECT_EQ(slip.lines.front().text + "|" + slip.lines.back().text, "好邻居便利店|谢谢惠顾");
  EXPECT_EQ(slip.lines.front().align, print::Align::kCenter);
  // Each line: its name, then quantity, price and amount; the discount when there is one.
  EXPECT_TRUE(HasLine(slip, "可乐"));
  EXPECT_TRUE(HasLine(slip, "2.00      3.50        7.00"));
  EXPECT_TRUE(HasLine(slip, "0.455     10.00        4.55"));
  EXPECT_TRUE(HasLine(slip, "1.00     20.00       18.00"));
  // 25.00 of 29.55 gives points; received 27.50 -> 23.27, two whole tens: 2 points.
  ExpectFigures(slip, {"单号:",    "7",        "时间:",    "2024-05-01 09:30:00",
                       "收银员:",  "张三",     "  折扣",   "-2.00",
                       "数量合计", "3.455",    "金额合计", "29.55",
                       "抹零",     "-0.05",    "整单折让", "-2.00",
                       "应收",     "27.50",    "现金",     "20.00",
                       "储值",     "10.00",    "支票",     "(none)",
                       "银联卡",   "(none)",   "找零",     "2.50",
                       "会员:",    "M01 李四", "本单积分", "2.00",
                       "积分余额", "102.00",   "储值余额", "40.00"});
  db.Exec("update transactiondetails set memberid = 'M02'");
  ExpectFigures(sale::ComposeSaleReceipt(db, 7, print::kColumns76mm),
                {"会员:", "M02 王五", "本单积分", "(none)", "储值余额", "(none)"});
  db.Exec("update transactiondetails set memberid = ''");
  print::Slip ordinary = sale::ComposeSaleReceipt(db, 7, print::kColumns76mm);
  EXPECT_EQ(Value(ordinary, "会员:"), "(none)");
  for (const auto& line : ordinary.lines) EXPECT_LE(print::DisplayWidth(line.text), 42);
  common::SetFixedClock(common::MakeTime(2024, 5, 1, 18, 0, 0));
  db.Exec(
      "insert into shiftsum (shiftid,shiftdate,workno,billcount,salesquantity,salesvalue,"
      "discountvalue,wipevalue,valuediscount,cardpaid,cashpaid,checkpaid,unionpaid,"
      "pettyvalue) values (3,'2024-05-01 17:59:00','001',12,30.5,456.7,8.1,0.35,"
      "5,20,400,30,6.7,-50)");
  ExpectFigures(sale::ComposeShiftSlip(db, 3, print::kColumns58mm),
                {"班次:",    "3",     "收银员:",  "张三",   "班结时间:",    "2024-05-01 17:59:00",
                 "交易笔数", "12",    "销售数量", "30.50",  "销售金额",     "456.70",
                 "折扣金额", "8.10",  "抹零金额", "0.35",   "整单折让",     "5.00",
                 "储值",     "20.00", "现金",     "400.00", "支票",         "30.00",
                 "银联卡",   "6.70",  "备用金",   "-50.00", "钱箱应有现金", "350.00"});
  ExpectFigures(sale::ComposeDrawerNote(db, "001", print::kColumns58mm),
                {"收银员:", "张三", "时间:", "2024-05-01 18:00:00"});
  ExpectFigures(sale::ComposePettySlip(-50, "张三", print::kColumns58mm),
                {"类型:", "提取备用金", "金额:", "50.00"});
  EXPECT_EQ(Value(sale::ComposePettySlip(100, "张三", 32), "类型:"), "存入备用金");
}

}  // namespace
