#include "demo_shop.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/common/clock.h"
#include "core/common/password.h"
#include "core/lookups/operators.h"
#include "core/servicelib/kasso_basic.h"
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

  demo::DemoShopCounts counts_;
};

// The rows of the tables the demo fills, as text in the order they were written.
std::string Dump(store::Database& db) {
  std::string dump;
  for (const char* table : {"goodsmaster", "inventory", "membermaster", "transactiondetails"}) {
    dump +=
        testing_support::RowsText(db, std::string("select * from ") + table + " order by rowid");
  }
  return dump;
}

// Each query counts what would be wrong with the shop a till sells from.
TEST_F(DemoShopTest, NothingInTheShopContradictsItselfItIsRepeatableAndLeavesDataAlone) {
  EXPECT_GE(counts_.goods, 200);
  EXPECT_EQ(Count("select count(distinct barcode) from goodsmaster"), counts_.goods);
  EXPECT_EQ(Count("select count(distinct memberphone) from membermaster"), counts_.members);
  EXPECT_EQ(servicelib::GetTranNo(), counts_.bills + 1);
  const std::string goods = "select count(*) from goodsmaster g where ";
  const std::string scale = goods + "isscalegoods = '是' and ";
  const std::string parts =
      "select count(*) from combinedgoods c left join goodsmaster g on g.barcode = "
      "c.underlyingcode where c.barcode = '" +
      std::string(demo::kGiftBoxBarcode) + "' and ";
  const std::string members = "select count(*) from membermaster where ";
  const std::string bills =
      "select count(*) from (select 1 from transactiondetails s left join transactiondetails l "
      "on l.transactionnumber = s.transactionnumber and l.transactiontype = '销售' "
      "left join goodsmaster g on g.barcode = l.barcode where s.transactiontype = '销售总计' "
      "group by s.rowid having ";
  const std::string stock =
      "select count(*) from goodsmaster g join inventory i on i.barcode = g.barcode where ";
  for (const std::string& wrong : std::vector<std::string>{
           goods + "(select count(*) from inventory i where i.barcode = g.barcode) <> 1",
           goods + "not (salesprice > memberprice and memberprice > 0 and importprice > 0 and "
                   "averageimportprice > 0)",
           goods + "class = '烟酒' and givepoints <> 0", goods + "recordingdate >= '2024-05-20'",
           // Scale goods: PLU numbers 1..n, all-digit barcodes of the label's length, by weight.
           "select not (min(pluno) = 1 and max(pluno) = count(distinct pluno) and "
           "count(distinct pluno) = count(*) and count(*) >= 20) from goodsmaster "
           "where isscalegoods = '是'",
           scale + "(barcode glob '*[^0-9]*' or unit not in ('斤','公斤') or "
                   "length(barcode) <> (select scalebarcode from management))",
           // The gift box is made of at least two plain goods.
           parts + "(g.iscombined is not '否' or c.quantity <= 0)",
           "select count(*) < 2 or not (select iscombined = '是' from goodsmaster where "
           "barcode = c.barcode) from combinedgoods c where barcode = '" +
               std::string(demo::kGiftBoxBarcode) + "'",
           members + "dismode <> '会员折扣' and disrate <> 1",
           members + "depositvalue < 0 or (depositmode = '否' and depositvalue <> 0)",
           // Bills numbered 1..n without gaps, in the order of their times.
           "select count(*) <> count(distinct transactionnumber) or min(transactionnumber) <> 1 "
           "or max(transactionnumber) <> count(*) from transactiondetails "
           "where transactiontype = '销售总计'",
           "select count(*) from transactiondetails a join transactiondetails b on "
           "b.transactionnumber = a.transactionnumber + 1 where a.transactiontype = '销售总计' "
           "and b.transactiontype = '销售总计' and b.transactiondatetime < a.transactiondatetime",
           // Every bill has lines of known goods, written at its own time before today (the
           // sale engine that writes them makes each total match its lines).
           bills + "count(l.rowid) = 0 or count(g.barcode) <> count(l.rowid))",
           bills + "min(l.transactiondatetime) <> s.transactiondatetime or "
                   "max(l.transactiondatetime) <> s.transactiondatetime or "
                   "s.transactiondatetime >= '2024-05-20')",
           // Stock is the opening stock less what the sales took, directly and as parts.
           stock + "g.iscombined <> '是' and abs(i.quantity - g.iniinventory + "
                   "ifnull((select sum(t.quantity) from transactiondetails t where "
                   "t.transactiontype = '销售' and t.barcode = g.barcode),0) + "
                   "ifnull((select sum(c.quantity * t.quantity) from combinedgoods c join "
                   "transactiondetails t on t.barcode = c.barcode and t.transactiontype = '销售' "
                   "where c.underlyingcode = g.barcode),0)) > 1e-6",
           stock + "g.iscombined = '是' and i.quantity <> g.iniinventory"}) {
    EXPECT_EQ(Count(wrong), 0) << wrong;
  }
  for (const char* present :  // members of every pricing mode, with points and stored value
       {"dismode = '没有优惠'", "dismode = '会员价'", "dismode = '会员折扣' and disrate = 0.9",
        "dismode = '会员折扣' and disrate = 0.95", "disondis = '是'",
        "memberpointsmode = '是' and memberpointsvalue > 0",
        "depositmode = '是' and depositvalue > 0"}) {
    EXPECT_GT(Count(members + present), 0) << present;
  }
  store::Database db = Open();
  // The cashier account sells but cannot manage accounts.
  EXPECT_TRUE(lookups::HasRight(db, lookups::Right::kSales, "1"));
  EXPECT_FALSE(lookups::HasRight(db, lookups::Right::kOperator, "1"));
  EXPECT_TRUE(kasso::PasswordMatches(
      *db.QueryText("select operatorpassword from operatormaster where workno = '1'"), "1"));
  demo::CreateDemoShop(dir() / "one.db");
  demo::CreateDemoShop(dir() / "two.db");
  store::Database one(dir() / "one.db");
  store::Database two(dir() / "two.db");
  // Password hashes carry a fresh salt each time; everything else repeats exactly.
  for (store::Database* shop : {&one, &two}) {
    EXPECT_EQ(shop->QueryInt("select count(*) from membermaster where memberpw not like "
                             "'$argon2id$%'"),
              0);
    shop->Exec("update membermaster set memberpw = ''");
  }
  EXPECT_EQ(Dump(one), Dump(two));
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
