#include "core/sale/till_duties.h"

#include <gtest/gtest.h>

#include "core/common/clock.h"
#include "core/devices/port.h"
#include "core/devices/pty.h"
#include "core/sale/shift.h"
#include "sale_fixture.h"

namespace {

double CashInDrawer() {
  store::Database db;
  return sale::MoneyInDrawer(db);
}
using namespace std::string_literals;

// A settled bill as the commit writes it: one line row and the summary row.
struct Bill {
  std::int64_t number;
  double quantity;
  double amount;  // the summary row's actualvalue, already less the wipe
  double paid;
  double change;
  double cardpaid = 0;
  double checkpaid = 0;
  double unionpaid = 0;
  double wipe = 0;
  double allowance = 0;
  double discount = 0;
};

class TillDutiesTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    kasso::SetFixedClock(kasso::MakeTime(2024, 5, 1, 18, 0, 0));
  }
  void TearDown() override {
    devices::OverridePortPath("com1", {});
    SaleFixture::TearDown();
  }

  void AddBill(const Bill& bill) {
    store::Database db = Open();
    db.Exec(
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,discountrate,discountvalue,barcode,workno,shiftid,memberid,"
        "valuediscount,pricediscount) values (?,'销售','2024-05-01 10:00:00',?,1,?,1,?,'1','0',"
        "0,'',?,0)",
        bill.number, bill.quantity, bill.amount + bill.wipe, bill.discount, bill.allowance);
    db.Exec(
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,discountrate,discountvalue,barcode,paid,change,workno,"
        "memberid,cardpaid,shiftid,wipevalue,valuediscount,pricediscount,checkpaid,unionpaid) "
        "values (?,'销售总计','2024-05-01 10:00:00',?,0,?,0,?,'',?,?,'0','',?,0,?,?,0,?,?)",
        bill.number, bill.quantity, bill.amount, bill.discount, bill.paid, bill.change,
        bill.cardpaid, bill.wipe, bill.allowance, bill.checkpaid, bill.unionpaid);
  }

  sale::EntryOutcome Petty(const std::string& entry) {
    sale::EntryResult result = Enter(entry);
    EXPECT_EQ(result.outcome, sale::EntryOutcome::kPettyCash);
    return sale::PettyCash(sale_, result.petty_cash_amount, ui_, display_);
  }

  std::int64_t PettyRows() {
    return Count("select count(*) from transactiondetails where transactiontype = '备用金'");
  }

  static constexpr const char* kKick = "\x1b\x70\x00\x19\xfa";
};

TEST_F(TillDutiesTest, ShiftClosingSumsTheOpenShiftAndNumbersItsRows) {
  AddBill({1, 2, 23.50, 50, 27, 0, 0, 0, 0.07, 0.50, 1.00});  // 23.00 charged in cash
  AddBill({2, 1.5, 30, 10, 0, 10, 5, 5});                     // cash, stored, cheque, card
  store::Database db = Open();
  sale::RecordPettyCash(db, 100, "0");
  sale::RecordPettyCash(db, -20, "0");
  EXPECT_DOUBLE_EQ(CashInDrawer(), 113.00);
  EXPECT_EQ(sale::CloseShift("0").message, "完成");
  store::Statement row = db.Query(
      "select shiftid,billcount,salesquantity,salesvalue,discountvalue,wipevalue,valuediscount,"
      "cardpaid,cashpaid,checkpaid,unionpaid,pettyvalue,shiftdate,workno from shiftsum");
  ASSERT_TRUE(row.Step());
  std::vector<double> figures;
  for (int column = 0; column < 12; ++column) figures.push_back(row.Double(column));
  // Sales value: 23.50 + 30 less the 0.50 allowance. Cash 33.00 + petty 80.00 = the drawer.
  EXPECT_EQ(figures, (std::vector<double>{1, 2, 3.5, 53, 1, 0.07, 0.5, 10, 33, 5, 5, 80}));
  EXPECT_EQ(row.Text(12) + "|" + row.Text(13), "2024-05-01 18:00:00|0");
  EXPECT_FALSE(row.Step());
  EXPECT_EQ(Count("select count(*) from transactiondetails where shiftid <> 1"), 0);
  EXPECT_DOUBLE_EQ(CashInDrawer(), 0);
  AddBill({5, 1, 9.99, 9.99, 0});
  EXPECT_EQ(sale::CloseShift("0").message, "完成");
  EXPECT_EQ(RowsOf("select shiftid, count(*) from transactiondetails group by 1"), "1|6|\n2|2|\n");
  EXPECT_EQ(Count("select round(cashpaid * 100) from shiftsum where shiftid = 2"), 999);
}

TEST_F(TillDutiesTest, FailedShiftClosingAndPettyAmountsThatAreNoNumberChangeNothing) {
  AddBill({1, 1, 10, 10, 0});
  Refuse("stuck", "before update on transactiondetails");
  EXPECT_EQ(sale::CloseShift("0").message, "班结有误");
  EXPECT_EQ(Count("select count(*) from shiftsum"), 0);
  EXPECT_EQ(Count("select count(*) from transactiondetails where shiftid = 0"), 2);
  EXPECT_DOUBLE_EQ(CashInDrawer(), 10);
  for (const std::string& entry : {"+"s, "+0"s, "+0.001"s, "+" + std::string(400, '9')}) {
    ui_.messages.clear();
    EXPECT_EQ(Petty(entry), sale::EntryOutcome::kKeepEntry) << entry;
    EXPECT_EQ(ui_.messages, sale_testing::Texts{"备用金金额有误"}) << entry;
  }
  EXPECT_EQ(PettyRows(), 0);
}

TEST_F(TillDutiesTest, PettyCashAndTheDrawerKeyKickTheDrawer) {
  PseudoTerminal drawer;  // behind "com1", kicked with five known bytes
  devices::OverridePortPath("com1", drawer.slave_path());
  Open().Exec(
      "update management set moneyboxcontrol = '弹出', printerport = 'com1', "
      "opencashiercmd = '27,112,0,25,250'");
  AddBill({4, 1, 10, 10, 0});
  EXPECT_EQ(Petty("+100"), sale::EntryOutcome::kDone);
  EXPECT_EQ(drawer.ReadAll(), std::string(kKick, 5));
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(sale_.total_caption, "总计: 0.00");
  EXPECT_EQ(Count("select count(*) from transactiondetails where transactionnumber = 5 "
                  "and transactiontype = '备用金' and actualvalue = 100 and workno = '0' "
                  "and shiftid = 0 and transactiondatetime = '2024-05-01 18:00:00'"),
            1);
  Refuse("nopetty", "before insert on transactiondetails when new.transactiontype = '备用金'");
  EXPECT_EQ(Petty("+100"), sale::EntryOutcome::kKeepEntry);
  EXPECT_EQ(ui_.messages, sale_testing::Texts{"备用金写入有误"});
  EXPECT_EQ(drawer.ReadAll(50), "");  // shut, and nothing printed
  EXPECT_EQ(PettyRows(), 1);
  // The drawer key kicks it too, but only for a duty with the right.
  EXPECT_TRUE(sale::OpenDrawer("0").empty());
  EXPECT_EQ(drawer.ReadAll(), std::string(kKick, 5));
  Open().ExecScript(
      "insert into operatormaster values ('5','李四','5','收银员');"
      "update dutyrights set openmoneybox = 0 where operatorduty = '收银员';");
  EXPECT_EQ(sale::OpenDrawer("5"), sale_testing::Texts{"您没有这个权限"});
  EXPECT_EQ(drawer.ReadAll(50), "");
}

TEST_F(TillDutiesTest, TakingOutIsCheckedAgainstTheDrawerOnBothScreens) {
  EXPECT_EQ(Petty("+30"), sale::EntryOutcome::kDone);
  EXPECT_EQ(Petty("+-50"), sale::EntryOutcome::kKeepEntry);
  EXPECT_EQ(ui_.messages,
            sale_testing::Texts{"提取备用金金额(-50.00)不能超过钱箱内现有金额(30.00)"});
  EXPECT_EQ(PettyRows(), 1);
  AddBill({7, 1, 50, 100, 50});  // 50.00 kept: 80.00 in the drawer
  EXPECT_EQ(Petty("+-50"), sale::EntryOutcome::kDone);
  EXPECT_EQ(Count("select count(*) from transactiondetails where actualvalue = -50"), 1);
  EXPECT_DOUBLE_EQ(CashInDrawer(), 30.00);
  // Booked without the entry line: rounded to the fen, same check.
  EXPECT_TRUE(sale::BookPettyCash(25.456, "0").booked);
  EXPECT_EQ(Count("select count(*) from transactiondetails where actualvalue = 25.46"), 1);
  EXPECT_EQ(sale::BookPettyCash(-60, "0").messages,
            sale_testing::Texts{"提取备用金金额(-60.00)不能超过钱箱内现有金额(55.46)"});
  EXPECT_EQ(PettyRows(), 3);
}

}  // namespace
