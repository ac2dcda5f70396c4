// Every record reaches the shop server once: sent twice, cut off before the commit, killed at
// any moment, with the server down, from two tills at once.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "core/store/outbox.h"
#include "core/store/schema.h"
#include "server_fixture.h"

namespace {

using server_testing::Batches;
using server_testing::CommitBill;
using server_testing::SilentUi;
using server_testing::Totals;

class DeliveryTest : public server_testing::ServerFixture {};

TEST_F(DeliveryTest, SendsEachBillOnceEvenWhenTheSameBatchGoesTwice) {
  for (int n = 0; n < 7; ++n) CommitBill(n);
  EXPECT_EQ(Pending(), 7);
  EXPECT_EQ(Send(Batches(3)), 7u);
  EXPECT_EQ(Pending(), 0);
  EXPECT_EQ(ServerTotals(), LocalTotals());
  EXPECT_EQ(ServerCount("select count(*) from journal where transactiontype = '销售'"), 14);

  // The till lost its marks (say, killed before writing them): everything goes again.
  Open().Exec("update outbox set sentat = null");
  EXPECT_EQ(Send(), 7u);
  EXPECT_EQ(ServerTotals(), LocalTotals());
  EXPECT_EQ(ServerCount("select count(*) from records"), 7);
  EXPECT_EQ(ServerCount("select count(*) from record_alarms"), 0);
  store::Database db = Open();
  EXPECT_EQ(serversync::StatusText(serversync::ReadSyncStatus(db)), "总部: 已同步");
}

// One record the server cannot read would hold every later one back for good: text that is
// not UTF-8 (an older file's GBK bytes) and a figure that is not finite still arrive.
TEST_F(DeliveryTest, ABillWithBytesThatAreNotUtf8OrAnEndlessFigureDoesNotBlockTheQueue) {
  AddGoods({"G\xB9\xFB", "GBK", 3.00, 3.00});
  Open().Exec(
      "create trigger endless after insert on transactiondetails when new.transactiontype = "
      "'销售总计' begin update transactiondetails set change = 9e999 where rowid = new.rowid; end");
  {
    SilentUi ui;
    sale::CurrentSale sale;
    sale.workno = "0";
    sale.lines = {server_testing::MakeLine("G\xB9\xFB", 1, 3.00)};
    sale::CommitSale(sale, {.due = 3.00, .cash = 3.00}, ui);
  }
  Open().Exec("drop trigger endless");
  CommitBill(1);
  EXPECT_EQ(Send(), 2u);
  EXPECT_EQ(Pending(), 0);
  EXPECT_EQ(ServerTotals(), LocalTotals());
  EXPECT_EQ(ServerCount("select count(*) from journal where barcode = 'G\uFFFD\uFFFD'"), 1);
  EXPECT_EQ(ServerCount("select count(*) from journal where transactiontype = '销售总计' "
                        "and change is null"),
            1);
}

TEST_F(DeliveryTest, ConnectionCutBeforeTheCommitLosesAndDoublesNothing) {
  for (int n = 0; n < 10; ++n) CommitBill(n);
  auto cut_second_batch = [this](int batch) {
    if (batch != 2) return;
    serversync::PgConnection other(conninfo_);
    other.Exec(
        "select pg_terminate_backend(pid) from pg_stat_activity "
        "where application_name = 'tillwise' and pid <> pg_backend_pid()");
  };
  EXPECT_THROW(Send({.batch_size = 4, .before_commit = cut_second_batch}), serversync::PgError);
  EXPECT_EQ(Pending(), 6);  // the first batch was committed and marked, the second was not
  EXPECT_EQ(ServerCount("select count(*) from records"), 4);
  {
    store::Database db = Open();
    EXPECT_EQ(serversync::StatusText(serversync::ReadSyncStatus(db)), "总部: 未连接");
  }
  EXPECT_EQ(Send(Batches(4)), 6u);
  EXPECT_EQ(ServerTotals(), LocalTotals());
}

TEST_F(DeliveryTest, SenderKilledAtAnyMomentLosesAndDoublesNothing) {
  for (int n = 0; n < 120; ++n) CommitBill(n);
  const auto seed = static_cast<unsigned>(std::random_device{}());
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay_ms(1, 40);
  for (int round = 0; round < 8 && Pending() > 0; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        Send(Batches(2));
      } catch (...) {
      }
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms(random)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  // And once killed for certain between the server's work and its commit.
  if (pid_t child = fork(); child == 0) {
    Open().Exec("update outbox set sentat = null where seq > 100");
    try {
      Send({.batch_size = 2, .before_commit = [](int) { raise(SIGKILL); }});
    } catch (...) {
    }
    _exit(0);
  } else {
    waitpid(child, nullptr, 0);
  }
  Send();
  EXPECT_EQ(Pending(), 0);
  EXPECT_EQ(ServerTotals(), LocalTotals());
  EXPECT_EQ(ServerCount("select count(*) from records"), 120);
}

TEST_F(DeliveryTest, TillSellsWhileTheServerIsDownAndCatchesUp) {
  CommitBill(1);
  Send();
  testing_support::PgCluster::Shared().Stop();
  for (int n = 2; n <= 6; ++n) CommitBill(n);  // the till sells on as if nothing happened
  EXPECT_EQ(LocalTotals().bills, 6);
  EXPECT_THROW(Send(), serversync::PgError);
  {
    store::Database db = Open();
    serversync::SyncStatus status = serversync::ReadSyncStatus(db);
    EXPECT_EQ(serversync::StatusText(status), "总部: 未连接");
    EXPECT_EQ(status.pending, 5);
  }
  testing_support::PgCluster::Shared().Start();
  EXPECT_EQ(Send(), 5u);
  EXPECT_EQ(ServerTotals(), LocalTotals());
}

TEST_F(DeliveryTest, TillKilledMidCommitQueuedEveryBillItKept) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (int n = 0;; ++n) CommitBill(n);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  ASSERT_GT(LocalTotals().bills, 0) << "no bill committed: the test proved nothing";
  EXPECT_EQ(Count("select count(*) from outbox"), LocalTotals().bills);
  Send();
  EXPECT_EQ(ServerTotals(), LocalTotals());
}

TEST_F(DeliveryTest, TwoTillsSendingAtOnceKeepTheirOwnBills) {
  for (int n = 0; n < 30; ++n) CommitBill(n);
  const Totals first = LocalTotals();
  // A second till with its own file, joined to the same shop: its bill numbers are the same.
  const std::filesystem::path second_dir = testing_support::MakeTempDir();
  store::SetDataDirectory(second_dir);
  store::CreateNewDatabase(store::DatabasePath());
  AddGoods({"A", "苹果", 2.50, 2.50});
  AddGoods({"B", "香蕉", 1.25, 1.25});
  {
    store::Database db = Open();
    serversync::JoinServer(db, conninfo_, "一号店", "收银二");
  }
  for (int n = 100; n < 140; ++n) CommitBill(n);
  const Totals second = LocalTotals();
  store::SetDataDirectory(dir());

  auto send_from = [](std::filesystem::path file) {
    store::Database db(file);
    serversync::SendPending(db, Batches(3));
  };
  std::thread one(send_from, dir() / "kasso.db");
  std::thread two(send_from, second_dir / "kasso.db");
  one.join();
  two.join();
  EXPECT_EQ(ServerTotals(), (Totals{first.bills + second.bills,
                                    std::round((first.amount + second.amount) * 100) / 100}));
  EXPECT_EQ(ServerCount("select count(*) from tills"), 2);
  std::filesystem::remove_all(second_dir);
}

}  // namespace
