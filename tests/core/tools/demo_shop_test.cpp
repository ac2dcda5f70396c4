#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "common/clock.h"
#include "demo_shop.h"
#include "servicelib/kasso_basic.h"
#include "store/database.h"
#include "support/test_database.h"

namespace {

class DemoShopTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    kasso::SetFixedClock(kasso::MakeTime(2024, 5, 20, 10, 30, 0));
    store::Database db = Open();
    counts_ = demo::FillDemoShop(db);
  }

  std::int64_t Count(const std::string& sql, const std::string& value = "") {
    store::Database db = Open();
    return value.empty() ? db.QueryInt(sql).value_or(-1) : db.QueryInt(sql, value).value_or(-1);
  }

  demo::DemoShopCounts counts_;
};

// Every row of a table as text, in the order the rows were written.
std::string Dump(store::Database& db, const std::string& table) {
  std::ostringstream out;
  store::Statement rows = db.Query("select * from " + table + " order by rowid");
  while (rows.Step()) {
    for (int c = 0; c < rows.ColumnCount(); ++c) out << rows.Text(c) << '|';
    out << '\n';
  }
  return out.str();
}

TEST_F(DemoShopTest, StocksEveryClassWithPricedGoodsAndOneInventoryRowEach) {
  for (const char* goods_class : {"饮料", "乳制品", "零食", "粮油", "冷冻食品", "调味品", "日用品",
                                  "文具", "生鲜", "烟酒", "礼盒"}) {
    EXPECT_GE(Count("select count(*) from goodsmaster where class = ?", goods_class),
              goods_class == std::string("礼盒") ? 1 : 10)
        << goods_class;
  }
  EXPECT_GE(counts_.goods, 200);
  EXPECT_EQ(Count("select count(*) from goodsmaster"), counts_.goods);
  EXPECT_EQ(Count("select count(distinct barcode) from goodsmaster"), counts_.goods);
  EXPECT_EQ(Count("select count(*) from inventory"), counts_.goods);
  EXPECT_EQ(Count("select count(*) from goodsmaster g where (select count(*) from inventory i "
                  "where i.barcode = g.barcode) <> 1"),
            0);
  EXPECT_EQ(Count("select count(*) from goodsmaster where not (salesprice > memberprice and "
                  "memberprice > 0 and importprice > 0 and averageimportprice > 0)"),
            0);
  EXPECT_EQ(Count("select count(*) from goodsmaster where class = '烟酒' and givepoints <> 0"), 0);
  EXPECT_EQ(Count("select count(*) from goodsmaster where recordingdate >= '2024-05-20'"), 0);
}

TEST_F(DemoShopTest, ScaleGoodsFitTheScaleLabelOfTheSettings) {
  store::Database db = Open();
  const std::int64_t code_digits = db.QueryInt("select scalebarcode from management").value();
  store::Statement rows = db.Query(
      "select barcode,pluno,unit from goodsmaster where isscalegoods = '是' order by pluno");
  int expected_plu = 0;
  while (rows.Step()) {
    const std::string barcode = rows.Text(0);
    EXPECT_EQ(rows.Int(1), ++expected_plu);
    EXPECT_EQ(static_cast<std::int64_t>(barcode.size()), code_digits) << barcode;
    EXPECT_EQ(barcode.find_first_not_of("0123456789"), std::string::npos) << barcode;
    EXPECT_TRUE(rows.Text(2) == "斤" || rows.Text(2) == "公斤") << barcode;
  }
  EXPECT_GE(expected_plu, 20);
  EXPECT_TRUE(servicelib::IfScaleGoods(db, "10001"));
}

TEST_F(DemoShopTest, GiftBoxIsCombinedFromPlainGoods) {
  store::Database db = Open();
  EXPECT_TRUE(servicelib::IfCombinedGoods(db, demo::kGiftBoxBarcode));
  store::Statement parts = db.Query(
      "select c.underlyingcode,c.quantity,g.iscombined from combinedgoods c "
      "left join goodsmaster g on g.barcode = c.underlyingcode where c.barcode = ?",
      demo::kGiftBoxBarcode);
  int count = 0;
  while (parts.Step()) {
    ++count;
    EXPECT_EQ(parts.Text(2), "否") << "component missing or combined: " << parts.Text(0);
    EXPECT_GT(parts.Double(1), 0);
  }
  EXPECT_GE(count, 2);
}

TEST_F(DemoShopTest, MembersCoverEveryPricingModePointsAndStoredValue) {
  EXPECT_EQ(counts_.members, Count("select count(*) from membermaster"));
  for (const char* mode : {"没有优惠", "会员折扣", "会员价"}) {
    EXPECT_GT(Count("select count(*) from membermaster where dismode = ?", mode), 0) << mode;
  }
  EXPECT_GT(Count("select count(*) from membermaster where dismode = '会员折扣' and disrate = 0.9"),
            0);
  EXPECT_GT(
      Count("select count(*) from membermaster where dismode = '会员折扣' and disrate = 0.95"), 0);
  EXPECT_EQ(Count("select count(*) from membermaster where dismode <> '会员折扣' and disrate <> 1"),
            0);
  EXPECT_GT(Count("select count(*) from membermaster where memberpointsmode = '是' "
                  "and memberpointsvalue > 0"),
            0);
  EXPECT_GT(
      Count("select count(*) from membermaster where depositmode = '是' and depositvalue > 0"), 0);
  EXPECT_EQ(Count("select count(*) from membermaster where depositvalue < 0 or "
                  "(depositmode = '否' and depositvalue <> 0)"),
            0);
  EXPECT_GT(Count("select count(*) from membermaster where disondis = '是'"), 0);
  EXPECT_EQ(Count("select count(distinct memberphone) from membermaster"), counts_.members);
  EXPECT_EQ(Count("select count(*) from membermaster where length(memberpid) <> 18 or "
                  "length(memberphone) <> 11 or memberpw = ''"),
            0);

  store::Database db = Open();
  const std::string phone =
      db.QueryText("select memberphone from membermaster order by rowid").value();
  EXPECT_EQ(servicelib::GetMemberIdFromPhonePID(db, phone), std::to_string(demo::kFirstMemberId));
}

TEST_F(DemoShopTest, CashierAccountSellsButCannotManageAccounts) {
  EXPECT_EQ(Count("select count(*) from operatormaster where workno = '1' and "
                  "operatorpassword = '1' and operatorduty = '收银员'"),
            1);
  store::Database db = Open();
  EXPECT_TRUE(servicelib::CheckRights(db, "sales", "1"));
  EXPECT_FALSE(servicelib::CheckRights(db, "operator", "1"));
}

TEST_F(DemoShopTest, EachBillTotalEqualsItsLinesAndItsPayments) {
  store::Database db = Open();
  EXPECT_EQ(
      db.QueryInt("select count(*) from transactiondetails where transactiontype = '销售总计'")
          .value(),
      counts_.bills);
  EXPECT_EQ(servicelib::GetTranNo(db), counts_.bills + 1);
  store::Statement bills = db.Query(
      "select s.transactionnumber,s.quantity,s.actualvalue,s.discountvalue,s.pricediscount,"
      "s.paid - s.change + s.cardpaid + s.unionpaid + s.checkpaid,s.transactiondatetime,"
      "count(l.rowid),sum(l.quantity),sum(l.actualvalue),sum(l.discountvalue),"
      "sum(l.pricediscount),min(l.transactiondatetime),max(l.transactiondatetime),"
      "count(g.barcode) from transactiondetails s "
      "left join transactiondetails l on l.transactionnumber = s.transactionnumber "
      "and l.transactiontype = '销售' left join goodsmaster g on g.barcode = l.barcode "
      "where s.transactiontype = '销售总计' group by s.rowid order by s.transactionnumber");
  std::int64_t expected_number = 0;
  std::string previous_time;
  while (bills.Step()) {
    const std::int64_t number = bills.Int(0);
    EXPECT_EQ(number, ++expected_number);
    EXPECT_GT(bills.Int(7), 0) << "bill " << number << " has no lines";
    EXPECT_NEAR(bills.Double(1), bills.Double(8), 1e-9) << "quantity of bill " << number;
    EXPECT_NEAR(bills.Double(2), bills.Double(9), 1e-9) << "amount of bill " << number;
    EXPECT_NEAR(bills.Double(3), bills.Double(10), 1e-9) << "discount of bill " << number;
    EXPECT_NEAR(bills.Double(4), bills.Double(11), 1e-9) << "price saving of bill " << number;
    EXPECT_NEAR(bills.Double(5), bills.Double(2), 1e-9) << "payments of bill " << number;
    EXPECT_EQ(bills.Text(12), bills.Text(6));
    EXPECT_EQ(bills.Text(13), bills.Text(6));
    EXPECT_EQ(bills.Int(14), bills.Int(7)) << "bill " << number << " sells unknown goods";
    EXPECT_GE(bills.Text(6), previous_time);
    EXPECT_LT(bills.Text(6), "2024-05-20");
    previous_time = bills.Text(6);
  }
  EXPECT_EQ(expected_number, counts_.bills);
}

TEST_F(DemoShopTest, StockIsTheOpeningStockLessWhatThePastSalesTook) {
  store::Database db = Open();
  store::Statement rows = db.Query(
      "select g.barcode,g.iscombined,g.iniinventory,i.quantity,"
      "ifnull((select sum(t.quantity) from transactiondetails t "
      "where t.transactiontype = '销售' and t.barcode = g.barcode),0),"
      "ifnull((select sum(c.quantity * t.quantity) from combinedgoods c join transactiondetails t "
      "on t.barcode = c.barcode and t.transactiontype = '销售' "
      "where c.underlyingcode = g.barcode),0) "
      "from goodsmaster g join inventory i on i.barcode = g.barcode");
  while (rows.Step()) {
    const double sold = rows.Text(1) == "是" ? 0 : rows.Double(4) + rows.Double(5);
    EXPECT_NEAR(rows.Double(3), rows.Double(2) - sold, 1e-6) << rows.Text(0);
  }
}

TEST_F(DemoShopTest, RefusesAFileThatAlreadyHoldsGoods) {
  const std::string before = [&] {
    store::Database db = Open();
    return Dump(db, "goodsmaster") + Dump(db, "transactiondetails");
  }();
  store::Database db = Open();
  EXPECT_THROW(demo::FillDemoShop(db), std::runtime_error);
  EXPECT_EQ(Dump(db, "goodsmaster") + Dump(db, "transactiondetails"), before);
}

TEST_F(DemoShopTest, SameClockGivesTheSameShop) {
  demo::CreateDemoShop(dir() / "one.db");
  demo::CreateDemoShop(dir() / "two.db");
  store::Database one(dir() / "one.db");
  store::Database two(dir() / "two.db");
  for (const char* table : {"goodsmaster", "inventory", "membermaster", "transactiondetails"}) {
    EXPECT_EQ(Dump(one, table), Dump(two, table)) << table;
  }
}

TEST_F(DemoShopTest, CreateLeavesAnExistingFileAlone) {
  const std::filesystem::path file = dir() / "taken.db";
  std::ofstream(file) << "not a database";
  EXPECT_THROW(demo::CreateDemoShop(file), store::DbError);
  std::ifstream in(file);
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "not a database");
  EXPECT_FALSE(std::filesystem::exists(dir() / "taken.db.demo"));
}

}  // namespace
