// Settling and committing sales: the journal rows, stock, points and stored value, and that a
// failed commit stores nothing.

#include "sale/commit_sale.h"

#include <gtest/gtest.h>

#include <deque>

#include "sale/settlement.h"
#include "sale_fixture.h"

namespace {

using sale::Payment;

class ScriptedPaymentUi : public sale::PaymentUi {
 public:
  std::deque<std::optional<Payment>> answers;
  std::vector<double> ordinary_dues;
  std::vector<std::pair<double, std::string>> member_dues;

  std::optional<Payment> SettleOrdinary(double due) override {
    ordinary_dues.push_back(due);
    return Next();
  }
  std::optional<Payment> SettleMember(double due, const std::string& memberid) override {
    member_dues.emplace_back(due, memberid);
    return Next();
  }

 private:
  std::optional<Payment> Next() {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

Payment Cash(double cash, double change) {
  Payment payment;
  payment.cash = cash;
  payment.change = change;
  return payment;
}

class CommitSaleTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.00, 9.00});
    AddGoods({"2", "牛奶", 3.57, 3.00});
    store::Database db = Open();
    db.Exec("insert into inventory (barcode,quantity) values ('1',50),('2',40)");
  }

  sale::SettleResult Settle() { return sale::SettleSale(sale_, ui_, payments_, display_); }

  double Stock(const std::string& barcode) {
    return Open()
        .QueryDouble("select quantity from inventory where barcode = ?", barcode)
        .value_or(-1);
  }
  double Summary(const std::string& column) {
    return Open()
        .QueryDouble("select " + column +
                     " from transactiondetails where transactiontype = '销售总计'")
        .value_or(-1);
  }
  int JournalRows() {
    return static_cast<int>(
        Open().QueryInt("select count(*) from transactiondetails").value_or(-1));
  }

  ScriptedPaymentUi payments_;
};

TEST_F(CommitSaleTest, OrdinarySaleWritesLinesSummaryAndStock) {
  Enter("1");
  Enter("*2");
  Enter("2");
  Enter("\\3.00");  // price cut on the milk: 0.57 below its sales price
  Open().Exec("update management set wipevalue = 1");
  payments_.answers.push_back(Cash(100.00, 77.00));

  auto result = Settle();
  ASSERT_EQ(result.outcome, sale::SettleOutcome::kCommitted);
  EXPECT_EQ(result.transaction_number, 1);
  EXPECT_EQ(payments_.ordinary_dues, std::vector<double>{23.00});
  EXPECT_EQ(display_.shown.back(), (std::pair<int, double>{4, 77.00}));

  store::Database db = Open();
  store::Statement lines = db.Query(
      "select transactionnumber,quantity,price,actualvalue,barcode,workno,shiftid,"
      "ifnull(memberid,'x'),pricediscount,valuediscount from transactiondetails "
      "where transactiontype = '销售' order by rowid");
  ASSERT_TRUE(lines.Step());
  EXPECT_EQ(lines.Int(0), 1);
  EXPECT_DOUBLE_EQ(lines.Double(1), 2);
  EXPECT_DOUBLE_EQ(lines.Double(3), 20.00);
  EXPECT_EQ(lines.Text(4), "1");
  EXPECT_EQ(lines.Text(5), "0");
  EXPECT_EQ(lines.Int(6), 0);
  EXPECT_EQ(lines.Text(7), "");
  ASSERT_TRUE(lines.Step());
  EXPECT_DOUBLE_EQ(lines.Double(2), 3.00);
  EXPECT_DOUBLE_EQ(lines.Double(8), 0.57);
  EXPECT_FALSE(lines.Step());

  EXPECT_DOUBLE_EQ(Summary("actualvalue"), 23.00);  // 23.00 after the 0.00 wipe of 23.00
  EXPECT_DOUBLE_EQ(Summary("quantity"), 3);
  EXPECT_DOUBLE_EQ(Summary("paid"), 100.00);
  EXPECT_DOUBLE_EQ(Summary("change"), 77.00);
  EXPECT_DOUBLE_EQ(Summary("pricediscount"), 0.57);
  EXPECT_EQ(Open().QueryText("select barcode from transactiondetails where "
                             "transactiontype = '销售总计'"),
            "");
  EXPECT_DOUBLE_EQ(Stock("1"), 48);
  EXPECT_DOUBLE_EQ(Stock("2"), 39);

  // The screen starts the next sale under the next number.
  EXPECT_TRUE(sale_.lines.empty());
  EXPECT_EQ(sale_.sale_number, 2);
}

TEST_F(CommitSaleTest, RoundOffComesOffTheSummaryAndAllowanceIsSharedByAmount) {
  Open().Exec("update management set wipevalue = 0");
  AddGoods({"9", "糖", 9.99, 9.99});
  Enter("9");
  Payment payment = Cash(9.00, 0);
  payments_.answers.push_back(payment);
  ASSERT_EQ(Settle().outcome, sale::SettleOutcome::kCommitted);
  EXPECT_EQ(payments_.ordinary_dues, std::vector<double>{9.00});
  EXPECT_DOUBLE_EQ(Summary("actualvalue"), 9.00);
  EXPECT_DOUBLE_EQ(Summary("wipevalue"), 0.99);

  Open().Exec("delete from transactiondetails");
  Open().Exec("update management set wipevalue = 2");
  Enter("1");
  Enter("1");
  payment = Cash(15.00, 0);
  payment.allowance = 5.00;
  payments_.answers.push_back(payment);
  ASSERT_EQ(Settle().outcome, sale::SettleOutcome::kCommitted);
  EXPECT_DOUBLE_EQ(Summary("valuediscount"), 5.00);
  EXPECT_DOUBLE_EQ(Open()
                       .QueryDouble("select sum(valuediscount) from transactiondetails "
                                    "where transactiontype = '销售'")
                       .value_or(0),
                   5.00);
}

TEST_F(CommitSaleTest, CombinedGoodsSellFromTheirComponents) {
  AddGoods({"C", "礼盒", 30.00, 30.00});
  store::Database db = Open();
  db.Exec("update goodsmaster set iscombined = '是' where barcode = 'C'");
  db.Exec("insert into combinedgoods (barcode,underlyingcode,quantity) values ('C','1',3)");
  db.Exec("insert into inventory (barcode,quantity) values ('C',7)");
  Enter("C");
  Enter("*2");
  payments_.answers.push_back(Cash(60.00, 0));
  ASSERT_EQ(Settle().outcome, sale::SettleOutcome::kCommitted);
  EXPECT_DOUBLE_EQ(Stock("1"), 44);  // 50 - 2 x 3
  EXPECT_DOUBLE_EQ(Stock("C"), 7);
}

TEST_F(CommitSaleTest, MemberPaysFromStoredValueAndEarnsWholePoints) {
  AddMember({.memberid = "M1", .name = "王芳", .pointsmode = "是", .depositmode = "是"});
  Open().Exec("update membermaster set depositvalue = 30 where memberid = 'M1'");
  Open().Exec("update management set basevalue = 10, pointsvalue = 1");
  AddGoods({"5", "米", 47.50, 47.50});
  Attach("M1");
  Enter("5");
  Enter("*2");  // 95.00
  Payment payment = Cash(65.00, 0);
  payment.stored = 30.00;
  payments_.answers.push_back(payment);
  ASSERT_EQ(Settle().outcome, sale::SettleOutcome::kCommitted);
  EXPECT_EQ(payments_.member_dues, (std::vector<std::pair<double, std::string>>{{95.00, "M1"}}));

  store::Statement member =
      Open().Query("select depositvalue,memberpointsvalue from membermaster where memberid = 'M1'");
  ASSERT_TRUE(member.Step());
  EXPECT_DOUBLE_EQ(member.Double(0), 0.00);
  EXPECT_DOUBLE_EQ(member.Double(1), 12.5 + 9);  // 95 received, base 10: 9 points
  EXPECT_DOUBLE_EQ(Summary("cardpaid"), 30.00);
  EXPECT_EQ(Open().QueryText("select memberid from transactiondetails where "
                             "transactiontype = '销售'"),
            "M1");
  EXPECT_FALSE(sale_.HasMember());
  EXPECT_EQ(sale_.member_pane, "普通客户");
}

TEST_F(CommitSaleTest, NothingToSettleAndCancelLeaveTheSale) {
  EXPECT_EQ(Settle().outcome, sale::SettleOutcome::kNothingToSettle);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"无法结算"});
  Enter("1");
  EXPECT_EQ(Settle().outcome, sale::SettleOutcome::kCancelled);
  EXPECT_EQ(sale_.lines.size(), 1U);
  EXPECT_EQ(JournalRows(), 0);
}

TEST_F(CommitSaleTest, FailureInTheMiddleStoresNothing) {
  AddMember({.memberid = "M1", .name = "王芳", .pointsmode = "是", .depositmode = "是"});
  Attach("M1");
  Enter("1");
  Enter("2");
  // The summary row is the last insert: everything before it must be undone with it.
  Open().ExecScript(
      "create trigger fail_summary before insert on transactiondetails "
      "when new.transactiontype = '销售总计' begin select raise(abort, 'injected'); end;");
  Payment payment = Cash(3.57, 0);
  payment.stored = 10.00;
  payments_.answers.push_back(payment);

  EXPECT_EQ(Settle().outcome, sale::SettleOutcome::kCommitFailed);
  EXPECT_EQ(ui_.messages.back(), "流水写入有误");
  EXPECT_EQ(JournalRows(), 0);
  EXPECT_DOUBLE_EQ(Stock("1"), 50);
  EXPECT_DOUBLE_EQ(Stock("2"), 40);
  EXPECT_DOUBLE_EQ(Open().QueryDouble("select depositvalue from membermaster").value_or(0), 100);
  EXPECT_EQ(sale_.lines.size(), 2U);
  EXPECT_TRUE(sale_.HasMember());

  // Settled again once the fault is gone, it is stored once.
  Open().ExecScript("drop trigger fail_summary");
  payments_.answers.push_back(payment);
  EXPECT_EQ(Settle().outcome, sale::SettleOutcome::kCommitted);
  EXPECT_EQ(JournalRows(), 3);
}

TEST_F(CommitSaleTest, StoredValueSpentMeanwhileIsNotOverdrawn) {
  AddMember({.memberid = "M1", .name = "王芳", .depositmode = "是"});
  Attach("M1");
  Enter("1");
  Open().Exec("update membermaster set depositvalue = 5");
  Payment payment = Cash(0, 0);
  payment.stored = 10.00;
  EXPECT_FALSE(sale::CommitSale(sale_, payment, ui_).committed);
  EXPECT_EQ(JournalRows(), 0);
}

TEST_F(CommitSaleTest, ReceiptCopiesFollowThePrinterMode) {
  store::Database db = Open();
  auto copies = [&](const char* mode, const char* port, int times) {
    db.Exec("update management set printercontrol = ?, printerport = ?, printtimes = ?", mode, port,
            times);
    return sale::ReceiptCopies(db);
  };
  EXPECT_EQ(copies("POS58", "lpt1", 2), 2);
  EXPECT_EQ(copies("POS58", "COM1", 1), 1);
  EXPECT_EQ(copies("POS58", "com2", 1), 0);
  EXPECT_EQ(copies("驱动打印", "com2", 2), 2);
  EXPECT_EQ(copies("驱动76mm", "", 1), 1);
  EXPECT_EQ(copies("不打印", "lpt1", 2), 0);
  EXPECT_EQ(copies("POS58", "lpt1", 0), 0);
}

}  // namespace
