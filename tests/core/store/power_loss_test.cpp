// Every operation that writes money, stock or the whole file survives a power cut at any
// moment the disk could lose it: the operation runs over a disk that dies at one sync point
// after another, and after each loss the file opens, passes the integrity check and holds
// exactly the state before or exactly the state after the operation (after, when the
// operation said it was done).

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/restore.h"
#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stocktake.h"
#include "core/backoffice/members/top_up.h"
#include "core/common/clock.h"
#include "core/sale/commit_sale.h"
#include "core/store/schema.h"
#include "old_schema.h"
#include "support/power_loss_vfs.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::PowerLossVfs;

// A file's content as one value per table: its rows in rowid order, and the schema.
using Digest = std::map<std::string, std::size_t>;

struct Reopened {
  std::string integrity;
  Digest digest;
};

// Opens the file as the till would after the reboot (a hot journal is rolled back here).
Reopened Reopen(const fs::path& file) {
  store::Database db(file);
  Reopened result;
  result.integrity = db.QueryText("pragma integrity_check").value_or("");
  std::hash<std::string> hash;
  result.digest["(schema)"] = hash(testing_support::RowsText(
      db, "select type, name, tbl_name, sql from sqlite_master order by type, name"));
  result.digest["(user_version)"] = hash(*db.QueryText("pragma user_version"));
  auto tables = db.Query("select name from sqlite_master where type = 'table'");
  while (tables.Step()) {
    result.digest[tables.Text(0)] = hash(
        testing_support::RowsText(db, "select * from \"" + tables.Text(0) + "\" order by rowid"));
  }
  return result;
}

// The tables in which two digests differ, for the failure message.
std::string Differences(const Digest& a, const Digest& b) {
  std::string names;
  for (const auto& [table, value] : a) {
    auto other = b.find(table);
    if (other == b.end() || other->second != value) names += table + " ";
  }
  for (const auto& [table, value] : b) {
    if (!a.count(table)) names += table + " ";
  }
  return names;
}

class NoQuestionsUi : public sale::SaleUi {
 public:
  void Message(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  std::optional<double> EnterPrice() override { return std::nullopt; }
  std::optional<sale::QuickGoods> EnterQuickGoods(const sale::QuickGoods&) override {
    return std::nullopt;
  }
  std::optional<std::string> ConfirmWeight(const std::string&) override { return std::nullopt; }
  std::optional<std::string> SelectMember() override { return std::nullopt; }
};

class PowerLossTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    inputs_ = testing_support::MakeTempDir();
    common::SetFixedClock(common::MakeTime(2024, 5, 6, 10, 0, 0));
  }
  void TearDown() override {
    store::SetVfsName("");
    std::error_code ignored;
    fs::remove_all(inputs_, ignored);
    TestDatabase::TearDown();
  }

  void AddGoods(const std::string& barcode, double stock, const std::string& combined = "否") {
    store::Database db = Open();
    db.Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
        "givepoints,iscombined) values (?,?,'个','未分类',5,4.5,3,3,'2024-01-01 00:00:00','否',"
        "0,?,1,?)",
        barcode, "商品" + barcode, stock, combined);
    db.Exec("insert into inventory (barcode,quantity) values (?,?)", barcode, stock);
  }
  void AddMember(const std::string& id) {
    Open().Exec(
        "insert into membermaster (memberid,membername,memberpid,memberphone,memberpointsmode,"
        "memberpointsvalue,depositmode,depositvalue,memberpw,dismode,disrate,disondis) "
        "values (?,?,'','','是',10,'是',100,'','没有优惠',1,'否')",
        id, "会员" + id);
  }

  // Runs the operation over the power-loss disk once without a loss, to count its sync points
  // and learn the state after, then once for each loss point from before the first sync to
  // after the last, rebooting each time with only the synced writes and with a random part of
  // the others. The operation returns whether it reported success.
  void SurvivesEveryLoss(const std::string& name, const std::function<bool()>& operation) {
    const fs::path file = store::DatabasePath();
    const std::string before_bytes = testing_support::FileBytes(file);
    const Digest before = Reopen(file).digest;
    PowerLossVfs& disk = PowerLossVfs::Instance();
    auto run = [&](std::optional<int> loss_at) {
      for (const fs::directory_entry& entry : fs::directory_iterator(dir())) {
        fs::remove_all(entry.path());
      }
      std::ofstream(file, std::ios::binary) << before_bytes;
      disk.Start(loss_at);
      store::SetVfsName(PowerLossVfs::kName);
      bool done = false;
      try {
        done = operation();
      } catch (const std::exception&) {
      }
      store::SetVfsName("");
      return done;
    };

    ASSERT_TRUE(run(std::nullopt)) << name << " fails without a power loss";
    const int syncs = disk.SyncPoints();
    const Digest after = Reopen(file).digest;
    ASSERT_GT(syncs, 0) << name << " never reached the disk";
    ASSERT_NE(before, after) << name << " changed nothing";

    for (int loss_at = 0; loss_at <= syncs && !HasFailure(); ++loss_at) {
      const bool done = run(loss_at);
      for (auto survivors :
           {PowerLossVfs::Survivors::kSyncedOnly, PowerLossVfs::Survivors::kRandomSubset}) {
        disk.Reboot(survivors, static_cast<std::uint32_t>(loss_at));
        const std::string where =
            name + ", power lost at sync point " + std::to_string(loss_at) + " of " +
            std::to_string(syncs) +
            (survivors == PowerLossVfs::Survivors::kSyncedOnly ? ", synced writes only"
                                                               : ", some unsynced writes kept");
        Reopened state;
        try {
          state = Reopen(file);
        } catch (const store::DbError& error) {
          ADD_FAILURE() << where << ": the file does not open: " << error.what();
          continue;
        }
        EXPECT_EQ(state.integrity, "ok") << where;
        if (done) {
          EXPECT_TRUE(state.digest == after)
              << where << ": reported done, but differs from the state after in "
              << Differences(state.digest, after);
        } else {
          EXPECT_TRUE(state.digest == before || state.digest == after)
              << where << ": neither before (differs in " << Differences(state.digest, before)
              << ") nor after (differs in " << Differences(state.digest, after) << ")";
        }
      }
    }
    std::printf("power loss: %s %d points\n", name.c_str(), syncs + 1);
  }

  fs::path inputs_;
};

TEST_F(PowerLossTest, ASaleIsStoredWholeOrNotAtAll) {
  for (const char* barcode : {"A", "B", "C"}) AddGoods(barcode, 100);
  AddMember("M1");
  SurvivesEveryLoss("CommitSale", [] {
    sale::CurrentSale sale;
    for (auto [barcode, quantity] : {std::pair{"A", 2.0}, {"B", 1.0}, {"C", 3.0}}) {
      sale::SaleLine line;
      line.barcode = barcode;
      line.quantity = quantity;
      line.price = 5;
      sale::SetLineAmounts(line, 1.0, 5, quantity);
      sale.lines.push_back(line);
    }
    sale.workno = "0";
    sale.member_id = "M1";
    NoQuestionsUi ui;
    return sale::CommitSale(sale, {.due = 30, .cash = 20, .stored = 10}, ui).committed;
  });
}

TEST_F(PowerLossTest, APurchaseBillIsAppliedWholeOrNotAtAll) {
  for (const char* barcode : {"A", "B", "C"}) AddGoods(barcode, 10);
  backoffice::SavePurchaseLine({"A", "5", "3.2", ""});
  backoffice::SavePurchaseLine({"B", "12", "", "30"});
  backoffice::SavePurchaseLine({"C", "1", "8", ""});
  SurvivesEveryLoss("purchase verification", [] {
    backoffice::VerifyPurchaseBill();
    return true;
  });
}

TEST_F(PowerLossTest, AStocktakeIsAppliedWholeOrNotAtAll) {
  for (const char* barcode : {"A", "B", "C", "D"}) AddGoods(barcode, 10);
  backoffice::GenerateStocktake();
  backoffice::SaveCount("A", "7");
  backoffice::SaveCount("C", "12.5");
  SurvivesEveryLoss("stocktake verification", [] {
    backoffice::VerifyStocktake();
    return true;
  });
}

TEST_F(PowerLossTest, AGoodsImportOfTenThousandLinesIsWrittenWholeOrNotAtAll) {
  const fs::path source = inputs_ / "goods.txt";
  {
    std::ofstream out(source, std::ios::binary);
    for (int i = 0; i < 10000; ++i) {
      out << "69" << 100000 + i << ",商品" << i << ",3.50,2.10,2.10,瓶,饮料,否,0," << i % 50
          << "\r\n";
    }
  }
  SurvivesEveryLoss("goods text import (10 000 lines)",
                    [&] { return backoffice::ImportGoodsText(source).added == 10000; });
}

TEST_F(PowerLossTest, ABatchTopUpCreditsEveryChosenMemberOrNone) {
  std::vector<std::string> chosen;
  for (int i = 1; i <= 40; ++i) {
    chosen.push_back("M" + std::to_string(i));
    AddMember(chosen.back());
  }
  backoffice::SaveBatchChoice(chosen);
  SurvivesEveryLoss("batch top-up", [] {
    return backoffice::DepositConfirmation(backoffice::kBatchMember, 25.5, false, "老板").members ==
           40;
  });
}

TEST_F(PowerLossTest, ARestoreReplacesTheFileWholeOrNotAtAll) {
  for (const char* barcode : {"A", "B"}) AddGoods(barcode, 10);
  const fs::path backup = inputs_ / "备份.dat";
  store::CreateNewDatabase(backup);
  {
    store::Database db(backup);
    db.ExecScript(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
        "givepoints,iscombined) values ('R','备份商品','个','未分类',1,1,1,1,"
        "'2023-01-01 00:00:00','否',0,0,1,'否');"
        "insert into inventory (barcode,quantity) values ('R',3)");
  }
  SurvivesEveryLoss("restore", [&] {
    app::RestoreDatabaseFrom(backup);
    return true;
  });
}

TEST_F(PowerLossTest, TheUpgradeOfALegacyFileIsWholeOrNotAtAll) {
  fs::remove(store::DatabasePath());
  store::Database(store::DatabasePath(), store::OpenMode::kCreate).ExecScript(kOldStyleTables);
  SurvivesEveryLoss("legacy file upgrade", [] {
    return store::PrepareDatabase(store::DatabasePath()) == store::FileState::kReady;
  });
}

}  // namespace
