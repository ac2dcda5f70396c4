// Numbers that start over never meet the old ones on the server, and a record that comes back
// changed is kept aside without touching the server's copy.

#include "core/app/backup.h"
#include "core/app/data_clear.h"
#include "core/app/restore.h"
#include "core/store/outbox.h"
#include "core/store/schema.h"
#include "server_fixture.h"

namespace {

using server_testing::CommitBill;
using server_testing::Totals;

class EpochTest : public server_testing::ServerFixture {
 protected:
  std::string Epoch() { return *Open().QueryText("select epoch from serverlink"); }
};

TEST_F(EpochTest, RestoredTillSellsAgainUnderANewEpochAndNothingMerges) {
  for (int n = 0; n < 3; ++n) CommitBill(n);
  const Totals in_backup = LocalTotals();
  const std::filesystem::path backup = testing_support::MakeTempDir() / "backup.dat";
  app::CopyDatabaseTo(backup);
  for (int n = 3; n < 5; ++n) CommitBill(n);
  Send();
  const Totals before = LocalTotals();  // bills 1..5
  const std::string old_epoch = Epoch();

  app::RestoreDatabaseFrom(backup);
  EXPECT_NE(Epoch(), old_epoch);
  for (int n = 10; n < 12; ++n) CommitBill(n);  // bills 4 and 5 again, other amounts
  const Totals after = LocalTotals();
  ASSERT_EQ(after.bills, 5);
  Send();  // the backup's three bills go again, and are known already

  // Every sale the till ever made counts once: bills 1..5 of before, and the two new ones.
  const double new_amount = after.amount - in_backup.amount;
  EXPECT_EQ(ServerTotals().bills, 7);
  EXPECT_NEAR(ServerTotals().amount, before.amount + new_amount, 0.005);
  EXPECT_EQ(ServerCount("select count(distinct epoch) from records"), 2);
  EXPECT_EQ(ServerCount("select count(*) from record_alarms"), 0);
}

TEST_F(EpochTest, UnsentSalesSurviveARestoreAndDataClear) {
  CommitBill(1);
  const std::filesystem::path backup = testing_support::MakeTempDir() / "backup.dat";
  app::CopyDatabaseTo(backup);
  Send();
  CommitBill(2);  // committed, not yet sent, and not in the backup
  const Totals sold = LocalTotals();
  app::RestoreDatabaseFrom(backup);
  EXPECT_EQ(Pending(), 2);  // the backup's own bill 1 (known) and the carried bill 2
  app::ClearData({app::ClearGroup::kSales});
  const std::string cleared_epoch = Epoch();
  CommitBill(3);  // number 1 again, under the epoch of the clear
  EXPECT_EQ(*Open().QueryText("select epoch from outbox order by seq desc limit 1"), cleared_epoch);
  Send();
  EXPECT_EQ(ServerTotals().bills, sold.bills + 1);
  EXPECT_EQ(ServerCount("select count(*) from record_alarms"), 0);
}

TEST_F(EpochTest, ChangedRecordBecomesAnAlarmAndTheServerCopyStays) {
  CommitBill(1);
  CommitBill(2);
  Send();
  const Totals sent = LocalTotals();
  // The same key with other rows, as a tampered file or a copy started elsewhere unnoticed
  // would send.
  Open().Exec(
      "update outbox set sentat = null,payload = '[{\"transactionnumber\":1,"
      "\"transactiontype\":\"销售总计\",\"actualvalue\":999}]' where seq = 1");
  Send();
  Send();  // once more: the alarm is kept once
  EXPECT_EQ(ServerTotals(), sent);
  EXPECT_EQ(ServerCount("select count(*) from record_alarms"), 1);
  EXPECT_EQ(ServerCount("select count(*) from records where payload::text like '%999%'"), 0);
  store::Database db = Open();
  EXPECT_EQ(serversync::StatusText(serversync::ReadSyncStatus(db)), "总部: 已同步 (告警 1 笔)");
}

TEST_F(EpochTest, FileStartedElsewhereGetsANewEpoch) {
  const std::string epoch = Epoch();
  store::PrepareDatabase(store::DatabasePath());
  EXPECT_EQ(Epoch(), epoch);  // opened where it was: the same history
  const std::filesystem::path copy_dir = testing_support::MakeTempDir();
  std::filesystem::copy_file(store::DatabasePath(), copy_dir / "kasso.db");
  store::PrepareDatabase(copy_dir / "kasso.db");
  store::Database copy(copy_dir / "kasso.db");
  EXPECT_NE(copy.QueryText("select epoch from serverlink"), epoch);
  EXPECT_EQ(copy.QueryText("select tillid from serverlink"),
            Open().QueryText("select tillid from serverlink"));
  std::filesystem::remove_all(copy_dir);
}

}  // namespace
