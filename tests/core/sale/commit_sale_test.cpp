#include "core/sale/commit_sale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/common/format.h"
#include "core/devices/slip.h"
#include "core/sale/receipts.h"
#include "core/sale/refusals.h"
#include "core/sale/settlement.h"
#include "sale_fixture.h"

namespace {

using sale::Payment;
using sale::SettleOutcome;

// Pays a settlement with the payment scripted for it (none: the dialog is cancelled) and notes
// the due it was asked for, with the member id ("" for the ordinary customer).
class ScriptedPaymentUi : public sale::PaymentUi {
 public:
  std::optional<Payment> next;
  std::vector<std::pair<double, std::string>> asked;

  std::optional<Payment> SettleOrdinary(double due) override { return Answer(due, ""); }
  std::optional<Payment> SettleMember(double due, const std::string& memberid) override {
    return Answer(due, memberid);
  }

 private:
  std::optional<Payment> Answer(double due, const std::string& memberid) {
    asked.emplace_back(due, memberid);
    return std::exchange(next, std::nullopt);
  }
};

using Asked = std::vector<std::pair<double, std::string>>;

class CommitSaleTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.00, 9.00});
    AddGoods({"2", "牛奶", 3.57, 3.00});
    Open().Exec("insert into inventory (barcode,quantity) values ('1',50),('2',40)");
  }

  // Settles the sale on screen, paying with `payment` if given (else the dialog is cancelled).
  sale::SettleResult Settle(const std::optional<Payment>& payment = std::nullopt) {
    payments_.next = payment;
    return sale::SettleSale(sale_, ui_, payments_, display_);
  }
  double Stock(const std::string& barcode) {
    return Number("select quantity from inventory where barcode = ?", barcode);
  }
  double Summary(const std::string& column) {
    return Number("select " + column +
                  " from transactiondetails where transactiontype = '销售总计'");
  }
  std::int64_t JournalRows() { return Count("select count(*) from transactiondetails"); }

  ScriptedPaymentUi payments_;
};

TEST_F(CommitSaleTest, OrdinarySaleWritesLinesSummaryAndStock) {
  Enter("1", "*2", "2", "\\3.00");  // price cut on the milk: 0.57 below its sales price
  Open().Exec("update management set wipevalue = 1");
  auto result = Settle(Payment{.cash = 100.00, .change = 77.00});
  ASSERT_EQ(result.outcome, SettleOutcome::kCommitted);
  EXPECT_EQ(result.transaction_number, 1);
  EXPECT_EQ(payments_.asked, (Asked{{23.00, ""}}));  // 23.00 after the 0.00 wipe of 23.00
  EXPECT_EQ(display_.shown.back(), (std::pair<int, double>{4, 77.00}));
  EXPECT_EQ(Open().QueryText("select group_concat(line, '; ') from (select printf('%s %.2f %.2f "
                             "%.2f %.2f', barcode, quantity, price, actualvalue, pricediscount) "
                             "as line from transactiondetails where transactiontype = '销售' "
                             "and transactionnumber = 1 and workno = '0' and shiftid = 0 and "
                             "memberid = '' order by rowid)"),
            "1 2.00 10.00 20.00 0.00; 2 1.00 3.00 3.00 0.57");
  EXPECT_EQ(Open().QueryText("select printf('%.2f %g %.2f %.2f %.2f', actualvalue, quantity, "
                             "paid, change, pricediscount) from transactiondetails where "
                             "transactiontype = '销售总计'"),
            "23.00 3 100.00 77.00 0.57");
  EXPECT_EQ(Count("select count(*) from transactiondetails where barcode = ''"), 1);  // summary
  EXPECT_EQ((std::vector<double>{Stock("1"), Stock("2")}), (std::vector<double>{48, 39}));
  // The screen starts the next sale under the next number.
  EXPECT_EQ(std::make_pair(sale_.lines.size(), sale_.sale_number), std::make_pair(0ul, 2l));
}

TEST_F(CommitSaleTest, RoundOffComesOffTheSummaryAndAllowanceIsSharedByAmount) {
  Open().Exec("update management set wipevalue = 0");
  AddGoods({"9", "糖", 9.99, 9.99});
  Enter("9");
  ASSERT_EQ(Settle(Payment{.cash = 9.00}).outcome, SettleOutcome::kCommitted);
  EXPECT_EQ((std::vector<double>{Summary("actualvalue"), Summary("wipevalue")}),
            (std::vector<double>{9.00, 0.99}));
  Open().ExecScript("delete from transactiondetails; update management set wipevalue = 2");
  Enter("1", "1");
  ASSERT_EQ(Settle(Payment{.cash = 15.00, .allowance = 5.00}).outcome, SettleOutcome::kCommitted);
  EXPECT_EQ(RowsOf("select transactiontype, sum(valuediscount) from transactiondetails group by 1"),
            "销售|5.0|\n销售总计|5.0|\n");
}

TEST_F(CommitSaleTest, CombinedGoodsSellFromTheirComponentsAndPriceSavingsUseTheLinesOwnPrice) {
  AddGoods({"C", "礼盒", 30.00, 30.00});
  Open().ExecScript(
      "update goodsmaster set iscombined = '是' where barcode = 'C';"
      "insert into combinedgoods (barcode,underlyingcode,quantity) values ('C','1',3);"
      "insert into inventory (barcode,quantity) values ('C',7);");
  Enter("C", "*2");
  ASSERT_EQ(Settle(Payment{.cash = 60.00}).outcome, SettleOutcome::kCommitted);
  EXPECT_DOUBLE_EQ(Stock("1"), 44);  // 50 - 2 x 3
  EXPECT_DOUBLE_EQ(Stock("C"), 7);
  // Goods priced 0 sell at a typed price or at a scale barcode's amount: nothing was saved.
  AddGoods({"0", "散装米", 0, 0});
  AddGoods({"00013", "散装糖", 0, 0, "公斤", "是"});
  UseScaleBarcodes();
  ui_.prices = {12.00};
  Enter("0", "200013010009");
  ASSERT_EQ(Settle(Payment{.cash = 22.00}).outcome, SettleOutcome::kCommitted);
  EXPECT_EQ(Count("select count(*) from transactiondetails where pricediscount <> 0"), 0);
}

TEST_F(CommitSaleTest, MemberPaysFromStoredValueAndEarnsWholePoints) {
  AddMember({.memberid = "M1", .name = "王芳", .pointsmode = "是", .depositmode = "是"});
  Open().Exec("update membermaster set depositvalue = 30 where memberid = 'M1'");
  Open().Exec("update management set basevalue = 10, pointsvalue = 1");
  AddGoods({"5", "米", 47.50, 47.50});
  Attach("M1");
  Enter("5", "*2");  // 95.00
  const sale::SettleResult result = Settle(Payment{.cash = 65.00, .stored = 30.00});
  ASSERT_EQ(result.outcome, SettleOutcome::kCommitted);
  EXPECT_EQ(payments_.asked, (Asked{{95.00, "M1"}}));
  // The screen keeps what was taken and the balance left.
  EXPECT_EQ(sale::SettledText(result), "实收: 95.00   找零: 0.00   储值余额: 0.00");
  // 95 received at base 10: 9 whole points on top of the 12.5 held.
  EXPECT_EQ(RowsOf("select depositvalue, memberpointsvalue from membermaster"), "0.0|21.5|\n");
  EXPECT_DOUBLE_EQ(Summary("cardpaid"), 30.00);
  EXPECT_EQ(RowsOf("select distinct memberid from transactiondetails"), "M1|\n");
  EXPECT_FALSE(sale_.HasMember());
  // Cash with change: points on the 10.00 received, not on the 20.00 handed over.
  Open().Exec("update management set basevalue = 1, pointsvalue = 1");
  AddGoods({"6", "盐", 10.00, 10.00});
  Attach("M1");
  Enter("6");
  ASSERT_EQ(Settle(Payment{.cash = 20.00, .change = 10.00}).outcome, SettleOutcome::kCommitted);
  EXPECT_DOUBLE_EQ(Number("select memberpointsvalue from membermaster"), 31.5);
}

TEST_F(CommitSaleTest, PointsFollowTheMoneyAndTheReceiptShowsWhatWasCredited) {
  AddMember({.memberid = "M1", .name = "王芳", .pointsmode = "是"});  // holds 12.5 points
  AddGoods({"A", "糖", 0.25, 0.25});
  AddGoods({"B", "盐", 0.25, 0.25});
  Open().ExecScript(
      "update goodsmaster set givepoints = 0 where barcode = 'B';"
      "update management set basevalue = 0, pointsvalue = 5;");  // points in raw proportion
  auto points = [this] { return Number("select memberpointsvalue from membermaster"); };
  Attach("M1");
  Enter("A", "B");
  // Half the bill gives points and half of it is paid: 0.125 points, credited as 0.13.
  auto sold = Settle(Payment{.cash = 0.25, .allowance = 0.25});
  ASSERT_EQ(sold.outcome, SettleOutcome::kCommitted);
  EXPECT_DOUBLE_EQ(points(), 12.63);
  store::Database db = Open();
  print::Slip receipt = sale::ComposeSaleReceipt(db, sold.transaction_number, print::kColumns58mm);
  EXPECT_TRUE(std::ranges::any_of(receipt.lines, [](const auto& line) {
    return line.text.starts_with("本单积分") && common::Trim(line.text).ends_with(" 0.13");
  }));
  // A refund takes back what its amount earned, but never below 0 points.
  for (double left : {2.63, 0.0}) {
    Attach("M1");
    Enter("1", "*-1");
    ASSERT_EQ(Settle(Payment{.cash = -10.00}).outcome, SettleOutcome::kCommitted);
    EXPECT_DOUBLE_EQ(points(), left);
  }
}

TEST_F(CommitSaleTest, NothingToSettleCancelAndAFailureInTheMiddleStoreNothing) {
  EXPECT_EQ(Settle().outcome, SettleOutcome::kNothingToSettle);
  EXPECT_EQ(ui_.messages, sale_testing::Texts{"无法结算"});
  Enter("1");
  EXPECT_EQ(Settle().outcome, SettleOutcome::kCancelled);
  EXPECT_EQ(sale_.lines.size(), 1U);
  EXPECT_EQ(JournalRows(), 0);
  NextCustomer();
  AddMember({.memberid = "M1", .name = "王芳", .pointsmode = "是", .depositmode = "是"});
  Attach("M1");
  Enter("1", "2");
  // The summary row is the last insert: everything before it must be undone with it.
  Refuse("fail_summary",
         "before insert on transactiondetails when new.transactiontype = '销售总计'");
  const Payment payment{.cash = 3.57, .stored = 10.00};
  EXPECT_EQ(Settle(payment).outcome, SettleOutcome::kCommitFailed);
  EXPECT_EQ(ui_.messages.back(), "流水写入有误");
  EXPECT_EQ(JournalRows(), 0);
  EXPECT_EQ((std::vector<double>{Stock("1"), Stock("2")}), (std::vector<double>{50, 40}));
  EXPECT_DOUBLE_EQ(Number("select depositvalue from membermaster"), 100);
  EXPECT_TRUE(sale_.lines.size() == 2 && sale_.HasMember());  // the sale stays on screen
  // Settled again once the fault is gone, it is stored once.
  Open().ExecScript("drop trigger fail_summary");
  EXPECT_EQ(Settle(payment).outcome, SettleOutcome::kCommitted);
  EXPECT_EQ(JournalRows(), 3);
}

TEST_F(CommitSaleTest, RefusalsOfStoredValueMemberAndFileAreNamedAndReceiptCopiesFollowTheMode) {
  AddMember({.memberid = "M1", .name = "王芳", .depositmode = "是"});
  Attach("M1");
  Enter("1");
  Open().Exec("update membermaster set depositvalue = 5");
  EXPECT_FALSE(sale::CommitSale(sale_, Payment{.stored = 10.00}, ui_).committed);
  Open().Exec("delete from membermaster");
  EXPECT_FALSE(sale::CommitSale(sale_, Payment{.cash = 10.00}, ui_).committed);
  EXPECT_EQ(ui_.messages, (sale_testing::Texts{"储值余额不足", "会员不存在"}));
  EXPECT_EQ(JournalRows(), 0);
  EXPECT_EQ(sale_.lines.size(), 1U);
  // A file that cannot be written is named as SQLite reports it.
  store::Database db = Open();
  auto refusal = [&db](const std::string& sql) {
    try {
      db.ExecScript(sql);
    } catch (const store::DbError& error) {
      return sale::CommitRefusal(error);
    }
    return std::string("(accepted)");
  };
  db.ExecScript("pragma query_only = 1");
  EXPECT_EQ(refusal("insert into inventory values ('x',1)"), "数据库只读");
  db.ExecScript("pragma query_only = 0");
  db.ExecScript("pragma max_page_count = " + std::to_string(*db.QueryInt("pragma page_count")));
  EXPECT_EQ(refusal("insert into inventory values (zeroblob(100000),1)"), "磁盘已满");
  // mode, port, copies set -> copies printed
  const std::tuple<const char*, const char*, int, int> modes[] = {
      {"POS58", "lpt1", 2, 2},    {"POS58", "COM1", 1, 1}, {"POS58", "com2", 1, 0},
      {"驱动打印", "com2", 2, 2}, {"驱动76mm", "", 1, 1},  {"不打印", "lpt1", 2, 0},
      {"POS58", "lpt1", 0, 0}};
  for (auto [mode, port, times, copies] : modes) {
    db.Exec("update management set printercontrol = ?, printerport = ?, printtimes = ?", mode, port,
            times);
    EXPECT_EQ(sale::ReceiptCopies(db), copies) << mode << " " << port << " " << times;
  }
}

}  // namespace
