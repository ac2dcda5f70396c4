#include "core/app/data_clear.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using app::ClearGroup;
using Rows = std::vector<int64_t>;

class DataClearTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    common::SetFixedClock(common::MakeTime(2024, 3, 1, 18, 30, 0));
    Open().ExecScript(R"sql(
      insert into transactiondetails (transactionnumber, memberid) values (1, 'M1');
      insert into goodsmaster (barcode) values ('6901'), ('6902');
      insert into inventory (barcode, quantity) values ('6901', 12), ('6902', 3.5);
      insert into unitmaster (unitcode) values ('01');
      insert into membermaster (memberid) values ('M1');
      insert into deposit (memberid) values ('M1');
      insert into pointsreturn (memberid) values ('M1');
      insert into combinedgoods (barcode) values ('6909');
      insert into transactionpendinglist (listnumber) values (1);
    )sql");
  }

  int64_t Count(const std::string& table) const {
    return TestDatabase::Count("select count(*) from " + table);
  }
  std::vector<int64_t> Counts(std::initializer_list<const char*> tables) const {
    std::vector<int64_t> counts;
    for (const char* table : tables) counts.push_back(Count(table));
    return counts;
  }
  double Stock() { return *Open().QueryDouble("select sum(quantity) from inventory"); }
};

TEST_F(DataClearTest, EachGroupClearsItsOwnTablesInTableOrderAfterASafetyCopy) {
  EXPECT_TRUE(app::ClearData({}).empty());  // nothing chosen: no change and no copy
  EXPECT_FALSE(fs::exists(app::BackupFolder()));
  // The safety copy holds the data before the clear; its rotation is proven with the backups.
  const fs::path copy = app::ClearData({ClearGroup::kStock});
  EXPECT_EQ(copy, app::BackupFolder() / "清除前备份20240301183000.dat");
  EXPECT_EQ(store::Database(copy).QueryDouble("select sum(quantity) from inventory"), 15.5);
  EXPECT_EQ(Counts({"goodsmaster", "inventory", "transactiondetails"}), (Rows{2, 2, 1}));
  EXPECT_EQ(Stock(), 0);
  EXPECT_NE(app::ClearData({ClearGroup::kGoods}), copy);  // same second: a new name
  EXPECT_TRUE(fs::exists(copy));
  EXPECT_EQ(Counts({"goodsmaster", "unitmaster", "inventory", "combinedgoods",
                    "transactionpendinglist", "operatormaster"}),
            (Rows{0, 0, 0, 1, 1, 1}));
  Open().ExecScript("drop table depositbak");  // a file from before top-ups were kept
  app::ClearData({ClearGroup::kMembers});
  EXPECT_EQ(Count("membermaster") + Count("deposit") + Count("pointsreturn"), 0);
  EXPECT_EQ(Open().QueryText("select memberid from transactiondetails"), "M1");
  auto texts = [](const std::vector<ClearGroup>& groups) {
    std::vector<std::string> shown;
    app::ClearData(groups, [&](std::string_view text, int, int) {
      if (!text.empty()) shown.emplace_back(text);
    });
    return shown;
  };
  const std::vector<std::string> expected = {"清除前备份", "销售流水信息", "班结信息", "进货信息",
                                             "商品信息",   "类别信息",     "单位信息", "库存信息"};
  EXPECT_EQ(texts({ClearGroup::kGoods, ClearGroup::kPurchases, ClearGroup::kSales}), expected);
  EXPECT_EQ(texts({ClearGroup::kSales, ClearGroup::kGoods, ClearGroup::kPurchases}), expected);
}

TEST_F(DataClearTest, FailingSafetyCopyOrStatementClearsNothing) {
  std::ofstream(app::BackupFolder()) << "a file where the folder should be";
  EXPECT_EQ(testing_support::ErrorOf([] {
              app::ClearData({ClearGroup::kSales, ClearGroup::kGoods});
            }),
            "清除前备份失败, 未清除任何数据");
  EXPECT_EQ(Counts({"transactiondetails", "goodsmaster"}), (Rows{1, 2}));
  // A statement failing late (units come after sales and stock) rolls back the whole clear.
  fs::remove(app::BackupFolder());
  Open().ExecScript(
      "create trigger keep_units before delete on unitmaster "
      "begin select raise(abort, 'refused'); end");
  EXPECT_THROW(app::ClearData({ClearGroup::kSales, ClearGroup::kStock, ClearGroup::kGoods}),
               common::UserError);
  EXPECT_EQ(Counts({"transactiondetails", "goodsmaster"}), (Rows{1, 2}));
  EXPECT_EQ(Stock(), 15.5);
}

}  // namespace
