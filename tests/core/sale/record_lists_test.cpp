#include "core/sale/record_lists.h"

#include <gtest/gtest.h>

#include "support/test_database.h"

namespace {

using Keys = std::vector<std::string>;
using Rows = std::vector<Keys>;

class RecordListsTest : public testing_support::TestDatabase {
 protected:
  void Journal(std::int64_t number, const std::string& type, double quantity, double value,
               const std::string& workno, const std::string& time) {
    Open().Exec(
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,actualvalue,workno,shiftid) values (?,?,?,?,?,?,0)",
        number, type, time, quantity, value, workno);
  }

  static std::string Message(std::string_view mode) {
    return testing_support::ErrorOf([&] { sale::LoadRecordList(mode); });
  }
};

TEST_F(RecordListsTest, ReceiptsParkedSalesAndShiftsInOrderAndUnreadableListsSayWhich) {
  Open().Exec("insert into operatormaster values ('7','王芳','7','收银员')");
  Journal(1, "销售", 2, 20, "0", "2024-05-01 09:00:00");
  Journal(1, "销售", 0.5, 4.25, "0", "2024-05-01 09:00:01");  // a second later
  Journal(1, "销售总计", 2.5, 24, "0", "2024-05-01 09:00:01");
  Journal(2, "备用金", 0, 100, "7", "2024-05-01 10:00:00");
  Journal(3, "销售", -1, -5, "7", "2024-05-01 11:00:00");
  Journal(3, "销售总计", -1, -5, "7", "2024-05-01 11:00:00");
  Journal(4, "退货", 1, 3.333, "9", "2024-05-01 12:00:00");  // a worker no longer on file
  sale::RecordList list = sale::LoadRecordList(sale::kSaleReceiptsMode);
  EXPECT_EQ(list.rows, (Rows{{"4", "", "2024-05-01 12:00:00", "1.00", "3.33"},
                             {"3", "王芳", "2024-05-01 11:00:00", "-1.00", "-5.00"},
                             {"1", "管理员", "2024-05-01 09:00:00", "2.50", "24.25"}}));
  EXPECT_EQ(list.keys, (Keys{"4", "3", "1"}));
  EXPECT_TRUE(sale::LoadRecordList(sale::kShiftReceiptsMode).rows.empty());
  Open().ExecScript(
      "insert into transactionpendinglist (listnumber,barcode,quantity,frontprice,memberid,"
      "transdatetime,frontdisrate) values "
      "(2,'a',1,1,'','2024-05-01 09:10:00',1),"
      "(1,'a',1,1,'m1','2024-05-01 09:05:00',1),(1,'b',0.455,1,'m1','2024-05-01 09:04:00',1);"
      "insert into shiftsum (shiftid,shiftdate,workno) values "
      "(1,'2024-04-30 18:00:00','0'),(2,'2024-05-01 18:00:00','8');");
  sale::RecordList parked = sale::LoadRecordList(sale::kSuspendedBillsMode);
  EXPECT_EQ(parked.rows, (Rows{{"1", "1.455", "m1", "2024-05-01 09:04:00"},
                               {"2", "1.000", "", "2024-05-01 09:10:00"}}));
  EXPECT_EQ(parked.keys, (Keys{"1", "2"}));
  sale::RecordList shifts = sale::LoadRecordList(sale::kShiftReceiptsMode);
  EXPECT_EQ(shifts.rows,
            (Rows{{"2", "", "2024-05-01 18:00:00"}, {"1", "管理员", "2024-04-30 18:00:00"}}));
  EXPECT_EQ(shifts.keys, (Keys{"2", "1"}));
  Open().ExecScript("drop table shiftsum; drop table transactiondetails;");
  EXPECT_EQ(Message(sale::kShiftReceiptsMode), "班次有误");
  EXPECT_EQ(Message(sale::kSaleReceiptsMode) + Message("没有这种"), "数据有误数据有误");
  EXPECT_EQ(sale::RecordKeyNumber("42"), 42);
  EXPECT_FALSE(sale::RecordKeyNumber("") || sale::RecordKeyNumber("2024-05-01 18:00:00"));
}

}  // namespace
