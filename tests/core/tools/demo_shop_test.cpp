#include "demo_shop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/common/clock.h"
#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
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

// The rows of the tables the demo fills, as text in the order they were written.
std::string Dump(store::Database& db) {
  std::string dump;
  for (const char* table : {"goodsmaster", "inventory", "membermaster", "transactiondetails"}) {
    store::Statement rows = db.Query(std::string("select * from ") + table + " order by rowid");
    while (rows.Step()) {
      for (int c = 0; c < rows.ColumnCount(); ++c) dump += rows.Text(c) + '|';
      dump += '\n';
    }
  }
  return dump;
}

TEST_F(DemoShopTest, StocksEveryClassWithPricedGoodsAndOneInventoryRowEach) {
  // Every class of the catalogue has goods; gift boxes are the only small class.
  EXPECT_EQ(Count("select count(distinct class) from goodsmaster"), 11);
  EXPECT_EQ(Count("select count(*) from (select class from goodsmaster group by class "
                  "having count(*) < 10)"),
            1);
  EXPECT_GE(counts_.goods, 200);
  EXPECT_EQ(Count("select count(*) from goodsmaster"), counts_.goods);
  EXPECT_EQ(Count("select count(distinct barcode) from goodsmaster"), counts_.goods);
  EXPECT_EQ(Count("select count(*) from inventory"), counts_.goods);
  for (const char* wrong :
       {"(select count(*) from inventory i where i.barcode = g.barcode) <> 1",
        "not (salesprice > memberprice and memberprice > 0 and importprice > 0 and "
        "averageimportprice > 0)",
        "class = '烟酒' and givepoints <> 0", "recordingdate >= '2024-05-20'"}) {
    EXPECT_EQ(Count(std::string("select count(*) from goodsmaster g where ") + wrong), 0) << wrong;
  }
}

TEST_F(DemoShopTest, ScaleGoodsFitTheScaleLabelAndTheGiftBoxIsMadeOfPlainGoods) {
  // PLU numbers 1..n, all-digit barcodes of the scale label's length, sold by weight.
  const std::string scale = "from goodsmaster where isscalegoods = '是'";
  EXPECT_GE(Count("select count(*) " + scale), 20);
  EXPECT_EQ(Count("select min(pluno) = 1 and max(pluno) = count(distinct pluno) and "
                  "count(distinct pluno) = count(*) " +
                  scale),
            1);
  EXPECT_EQ(Count("select count(*) " + scale +
                  " and (barcode glob '*[^0-9]*' or unit not in "
                  "('斤','公斤') or length(barcode) <> (select scalebarcode from management))"),
            0);
  EXPECT_TRUE(servicelib::IfScaleGoods("10001"));

  const std::string parts =
      "from combinedgoods c left join goodsmaster g on g.barcode = "
      "c.underlyingcode where c.barcode = ?";
  EXPECT_TRUE(servicelib::IfCombinedGoods(demo::kGiftBoxBarcode));
  EXPECT_GE(Count("select count(*) " + parts, demo::kGiftBoxBarcode), 2);
  EXPECT_EQ(Count("select count(*) " + parts + " and (g.iscombined is not '否' or c.quantity <= 0)",
                  demo::kGiftBoxBarcode),
            0);
}

TEST_F(DemoShopTest, MembersCoverEveryPricingModePointsAndStoredValue) {
  EXPECT_EQ(Count("select count(*) from membermaster"), counts_.members);
  EXPECT_EQ(Count("select count(distinct memberphone) from membermaster"), counts_.members);
  for (const char* present :
       {"dismode = '没有优惠'", "dismode = '会员价'", "dismode = '会员折扣' and disrate = 0.9",
        "dismode = '会员折扣' and disrate = 0.95", "disondis = '是'",
        "memberpointsmode = '是' and memberpointsvalue > 0",
        "depositmode = '是' and depositvalue > 0"}) {
    EXPECT_GT(Count(std::string("select count(*) from membermaster where ") + present), 0)
        << present;
  }
  for (const char* wrong :
       {"dismode <> '会员折扣' and disrate <> 1", "depositvalue < 0",
        "depositmode = '否' and depositvalue <> 0",
        "length(memberpid) <> 18 or length(memberphone) <> 11 or memberpw = ''"}) {
    EXPECT_EQ(Count(std::string("select count(*) from membermaster where ") + wrong), 0) << wrong;
  }
  store::Database db = Open();
  const std::string phone =
      db.QueryText("select memberphone from membermaster order by rowid").value();
  EXPECT_EQ(servicelib::GetMemberIdFromPhonePID(db, phone), std::to_string(demo::kFirstMemberId));

  // The cashier account sells but cannot manage accounts.
  EXPECT_TRUE(servicelib::CheckRights(db, "sales", "1"));
  EXPECT_FALSE(servicelib::CheckRights(db, "operator", "1"));
  EXPECT_EQ(db.QueryText("select operatorpassword from operatormaster where workno = '1'"), "1");
}

TEST_F(DemoShopTest, EachBillTotalEqualsItsLinesAndItsPayments) {
  EXPECT_EQ(servicelib::GetTranNo(), counts_.bills + 1);
  // Bills are numbered 1..n without gaps, in the order of their times.
  const std::string n = std::to_string(counts_.bills);
  EXPECT_EQ(Open().QueryText("select count(*) || '/' || count(distinct transactionnumber) || '/' "
                             "|| min(transactionnumber) || '/' || max(transactionnumber) "
                             "from transactiondetails where transactiontype = '销售总计'"),
            n + "/" + n + "/1/" + n);
  EXPECT_EQ(Count("select count(*) from transactiondetails a join transactiondetails b "
                  "on b.transactionnumber = a.transactionnumber + 1 "
                  "where a.transactiontype = '销售总计' and b.transactiontype = '销售总计' "
                  "and b.transactiondatetime < a.transactiondatetime"),
            0);
  for (const char* wrong :
       {"count(l.rowid) = 0", "count(g.barcode) <> count(l.rowid)",
        "abs(s.quantity - sum(l.quantity)) > 1e-9",
        "abs(s.actualvalue - sum(l.actualvalue)) > 1e-9",
        "abs(s.discountvalue - sum(l.discountvalue)) > 1e-9",
        "abs(s.pricediscount - sum(l.pricediscount)) > 1e-9",
        "abs(s.paid - s.change + s.cardpaid + s.unionpaid + s.checkpaid - s.actualvalue) > 1e-9",
        "min(l.transactiondatetime) <> s.transactiondatetime or "
        "max(l.transactiondatetime) <> s.transactiondatetime or "
        "s.transactiondatetime >= '2024-05-20'"}) {
    EXPECT_EQ(Count(std::string("select count(*) from (select 1 from transactiondetails s "
                                "left join transactiondetails l on l.transactionnumber = "
                                "s.transactionnumber and l.transactiontype = '销售' "
                                "left join goodsmaster g on g.barcode = l.barcode "
                                "where s.transactiontype = '销售总计' group by s.rowid having ") +
                    wrong + ")"),
              0)
        << wrong;
  }
}

TEST_F(DemoShopTest, StockIsTheOpeningStockLessWhatThePastSalesTook) {
  // Sold quantities count for plain goods, directly and as parts of combined goods.
  EXPECT_EQ(Count("select count(*) from goodsmaster g join inventory i on i.barcode = g.barcode "
                  "where g.iscombined <> '是' and abs(i.quantity - g.iniinventory "
                  "+ ifnull((select sum(t.quantity) from transactiondetails t "
                  "where t.transactiontype = '销售' and t.barcode = g.barcode),0) "
                  "+ ifnull((select sum(c.quantity * t.quantity) from combinedgoods c "
                  "join transactiondetails t on t.barcode = c.barcode and "
                  "t.transactiontype = '销售' where c.underlyingcode = g.barcode),0)) > 1e-6"),
            0);
  EXPECT_EQ(Count("select count(*) from goodsmaster g join inventory i on i.barcode = g.barcode "
                  "where g.iscombined = '是' and i.quantity <> g.iniinventory"),
            0);
}

TEST_F(DemoShopTest, SameClockGivesTheSameShop) {
  demo::CreateDemoShop(dir() / "one.db");
  demo::CreateDemoShop(dir() / "two.db");
  store::Database one(dir() / "one.db");
  store::Database two(dir() / "two.db");
  EXPECT_EQ(Dump(one), Dump(two));
}

TEST_F(DemoShopTest, ExistingDataAndFilesAreLeftAlone) {
  store::Database db = Open();
  const std::string before = Dump(db);
  EXPECT_THROW(demo::FillDemoShop(db), std::runtime_error);
  EXPECT_EQ(Dump(db), before);

  const std::filesystem::path file = dir() / "taken.db";
  std::ofstream(file) << "not a database";
  EXPECT_THROW(demo::CreateDemoShop(file), store::DbError);
  EXPECT_EQ(testing_support::FileBytes(file), "not a database");
  EXPECT_FALSE(std::filesystem::exists(dir() / "taken.db.demo"));
}

}  // namespace
