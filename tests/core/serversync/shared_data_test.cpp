// One catalogue, one member list and one set of balances for every till of a shop: changes
// reach every till through the server, in whole batches, and the server decides what two
// tills do at once.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/members/top_up.h"
#include "shared_fixture.h"

namespace {

using server_testing::MakeLine;
using server_testing::SilentUi;

constexpr const char* kAddMember =
    "insert into membermaster (memberid,membername,membersex,memberphone,memberaddress,"
    "memberpointsmode,memberpointsvalue,depositmode,depositvalue,dismode,disrate,disondis) "
    "values ('M1','张三','男','13900000000','一路1号','是',0,'是',30,'没有优惠',1,'否')";

class SharedDataTest : public server_testing::SharedDataFixture {
 protected:
  // A sale of goods A (2.50 each) for amount, paid from the member's stored value.
  sale::CommitResult PayFromStoredValue(double amount, SilentUi& ui) {
    sale::CurrentSale sale;
    sale.workno = "0";
    sale.member_id = "M1";
    sale.lines = {MakeLine("A", amount / 2.5, 2.50)};
    return sale::CommitSale(sale, {.due = amount, .stored = amount}, ui);
  }
  double ServerDeposit() {
    return ServerNumber("select coalesce(sum(deposit),0)::float8 from balances");
  }
};

TEST_F(SharedDataTest, APriceSavedAtOneTillReachesEveryTillAndTheServerKeepsTheOrder) {
  const auto two = AddTill("收银二");
  EXPECT_EQ(RowsAt(two, "select barcode,salesprice from goodsmaster order by barcode"),
            "A|2.5|\nB|1.25|\n");

  Write(one_, "update goodsmaster set salesprice = 3 where barcode = 'A'");
  EXPECT_EQ(NumberAt(one_, "select salesprice from goodsmaster where barcode = 'A'"), 3);
  EXPECT_EQ(NumberAt(two, "select salesprice from goodsmaster where barcode = 'A'"), 2.5);
  EXPECT_EQ(Pull(two), 1u);
  EXPECT_EQ(NumberAt(two, "select salesprice from goodsmaster where barcode = 'A'"), 3);
  EXPECT_EQ(Pull(two), 0u);  // nothing new

  // A change made at the second till comes back to the first, this till's own included.
  Write(two, "update goodsmaster set salesprice = 1.5 where barcode = 'B'");
  Pull(one_);
  EXPECT_EQ(NumberAt(one_, "select salesprice from goodsmaster where barcode = 'B'"), 1.5);
  EXPECT_EQ(ServerNumber("select count(distinct seq) from shared_rows"),
            ServerNumber("select count(*) from shared_rows"));
}

TEST_F(SharedDataTest, ATillOfflineDuringThreeChangesCatchesUpInOrderInWholeBatches) {
  const auto two = AddTill("收银二");
  Write(one_, "update goodsmaster set salesprice = 3 where barcode = 'A'");
  Write(one_,
        "insert into goodsmaster (barcode,goodsname,salesprice,memberprice,iscombined) "
        "values ('C','梨',4,4,'否')");
  Write(one_, "delete from goodsmaster where barcode = 'B'");
  Write(one_, "update goodsmaster set salesprice = 3.5 where barcode = 'A'");

  // One change a batch, in the server's order. A second look while a batch is being written
  // sees the copy as the batch before left it, never half of one.
  std::vector<std::string> seen;
  serversync::PullOptions one_at_a_time;
  one_at_a_time.batch_size = 1;
  one_at_a_time.before_commit = [&](int) {
    seen.push_back(RowsAt(two, "select barcode,salesprice from goodsmaster order by barcode"));
  };
  EXPECT_EQ(Pull(two, one_at_a_time), 3u);  // A's first change was overtaken by its last
  EXPECT_EQ(seen, (std::vector<std::string>{"A|2.5|\nB|1.25|\n", "A|2.5|\nB|1.25|\nC|4.0|\n",
                                            "A|2.5|\nC|4.0|\n"}));
  EXPECT_EQ(RowsAt(two, "select barcode,salesprice from goodsmaster order by barcode"),
            "A|3.5|\nC|4.0|\n");
  EXPECT_EQ(RowsAt(two, "select barcode,goodsname,salesprice from goodsmaster order by barcode"),
            RowsAt(one_, "select barcode,goodsname,salesprice from goodsmaster order by barcode"));
}

TEST_F(SharedDataTest, APullKilledBeforeItsCommitLeavesTheCopyAsItWasAndTheNextOneCompletesIt) {
  const auto two = AddTill("收银二");
  Write(one_, "update goodsmaster set salesprice = 3 where barcode = 'A'");
  Write(one_, "update goodsmaster set salesprice = 2 where barcode = 'B'");
  const std::string before = RowsAt(two, "select barcode,salesprice from goodsmaster");
  const double position = NumberAt(two, "select pulledseq from serverlink");

  const pid_t child = fork();
  if (child == 0) {
    serversync::PullOptions kill_before_commit;
    kill_before_commit.before_commit = [](int) { ::kill(::getpid(), SIGKILL); };
    try {
      Pull(two, kill_before_commit);
    } catch (...) {
    }
    _exit(3);  // not reached
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(RowsAt(two, "select barcode,salesprice from goodsmaster"), before);
  EXPECT_EQ(NumberAt(two, "select pulledseq from serverlink"), position);

  EXPECT_EQ(Pull(two), 2u);
  EXPECT_EQ(RowsAt(two, "select barcode,salesprice from goodsmaster order by barcode"),
            "A|3.0|\nB|2.0|\n");
}

TEST_F(SharedDataTest, TwoTillsPayingTheLastThirtyAtOnceOnlyOneIsTaken) {
  Write(one_, kAddMember);
  const auto two = AddTill("收银二");
  EXPECT_EQ(NumberAt(two, "select depositvalue from membermaster where memberid = 'M1'"), 30);
  EXPECT_EQ(ServerDeposit(), 30);

  // Both tills wait at the same pipe and pay at once.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (const auto& till : {one_, two}) {
    const pid_t child = fork();
    if (child == 0) {
      char byte;
      close(go[1]);
      if (read(go[0], &byte, 1) != 0) _exit(4);
      SilentUi ui;
      const bool paid = At(till, [&] { return PayFromStoredValue(30, ui).committed; });
      _exit(paid ? 0 : (ui.messages == std::vector<std::string>{"储值余额不足"} ? 1 : 2));
    }
    children.push_back(child);
  }
  close(go[0]);
  close(go[1]);  // both start
  int paid = 0, short_of_money = 0;
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    paid += WEXITSTATUS(status) == 0;
    short_of_money += WEXITSTATUS(status) == 1;
  }
  EXPECT_EQ(paid, 1);
  EXPECT_EQ(short_of_money, 1);
  EXPECT_EQ(ServerDeposit(), 0);
  Pull(one_);
  Pull(two);
  EXPECT_EQ(NumberAt(one_, "select depositvalue from membermaster"), 0);
  EXPECT_EQ(NumberAt(two, "select depositvalue from membermaster"), 0);
  // The bill that was paid is on the server already, the refused one nowhere.
  EXPECT_EQ(ServerCount("select count(*) from records where kind = 'bill'"), 1);
}

// The server took the payment, then the till's own commit failed (another connection held the
// file past the busy wait): the server gives the money back and forgets the bill.
TEST_F(SharedDataTest, APaymentWhoseLocalCommitFailsIsGivenBackOnTheServer) {
  Write(one_, kAddMember);
  SilentUi ui;
  {
    store::Database reader = Open();
    reader.ExecScript("begin");
    EXPECT_EQ(reader.QueryInt("select count(*) from goodsmaster"), 2);
    EXPECT_FALSE(PayFromStoredValue(30, ui).committed);
    reader.ExecScript("commit");
  }
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ServerDeposit(), 30);
  EXPECT_EQ(ServerCount("select count(*) from records where kind = 'bill'"), 0);
  EXPECT_EQ(ServerCount("select count(*) from journal"), 0);
  EXPECT_EQ(Number("select depositvalue from membermaster"), 30);

  // Paid again once the file is free: taken once, and the bill is the server's.
  EXPECT_TRUE(PayFromStoredValue(30, ui).committed);
  EXPECT_EQ(ServerDeposit(), 0);
  EXPECT_EQ(ServerCount("select count(*) from records where kind = 'bill'"), 1);
  EXPECT_EQ(Pending(), 0);
}

TEST_F(SharedDataTest, ATopUpSentAgainAfterALostAnswerCountsOnceAndReachesTheOtherTill) {
  Write(one_, kAddMember);
  const auto two = AddTill("收银二");
  backoffice::DepositConfirmation("M1", 50, false, "管理员");
  EXPECT_EQ(NumberAt(one_, "select depositvalue from membermaster"), 80);  // the till's copy
  EXPECT_EQ(ServerDeposit(), 30);  // not sent yet: a top-up needs no server at the time
  Send();
  EXPECT_EQ(ServerDeposit(), 80);
  // The server committed but its answer never came: the till sends the same record again.
  Open().Exec("update outbox set sentat = null");
  Send();
  EXPECT_EQ(ServerDeposit(), 80);
  EXPECT_EQ(ServerCount("select count(*) from records where kind = 'topup'"), 1);
  Pull(two);
  EXPECT_EQ(NumberAt(two, "select depositvalue from membermaster"), 80);
}

TEST_F(SharedDataTest, AMemberEditedAtTwoTillsAtOnceEndsAsTheLaterWriteWholeEverywhere) {
  Write(one_, kAddMember);
  const auto two = AddTill("收银二");
  // Neither till has seen the other's change when it writes.
  Write(one_, "update membermaster set membername = '张三丰',memberphone = '13911111111'");
  Write(two, "update membermaster set membername = '张小三',memberaddress = '二路2号'");
  Pull(one_);
  Pull(two);
  const std::string member =
      "select memberid,membername,memberphone,memberaddress,depositvalue from membermaster";
  EXPECT_EQ(RowsAt(one_, member), "M1|张小三|13900000000|二路2号|30.0|\n");
  EXPECT_EQ(RowsAt(two, member), RowsAt(one_, member));
}

TEST_F(SharedDataTest, ATillJoiningAShopWithDataGetsAllOfItInPlaceOfItsOwn) {
  Write(one_, kAddMember);
  Write(one_,
        "insert into operatormaster (workno,operatorname,operatorpassword,operatorduty) "
        "values ('7','李四','x','收银员')");
  Write(one_, "insert into inventory (barcode,quantity) values ('A',12)");
  Write(one_, "update management set basevalue = 5");
  server_testing::CommitBill(0);  // sells one A and one B
  Send();
  prepare_new_till = [](const std::filesystem::path&) {
    store::Database db;
    db.Exec("insert into goodsmaster (barcode,goodsname,salesprice) values ('Z','旧货',9)");
  };
  const auto three = AddTill("收银三");
  const char* goods = "select barcode,goodsname,salesprice from goodsmaster order by barcode";
  EXPECT_EQ(RowsAt(three, goods), RowsAt(one_, goods));
  EXPECT_EQ(RowsAt(three, "select workno,operatorname from operatormaster order by workno"),
            "0|管理员|\n7|李四|\n");
  EXPECT_EQ(NumberAt(three, "select depositvalue from membermaster where memberid = 'M1'"), 30);
  EXPECT_EQ(NumberAt(three, "select quantity from inventory where barcode = 'A'"), 11);
  const char* shop_settings = "select priceforcost,wipevalue,basevalue,pointsvalue from management";
  EXPECT_EQ(RowsAt(three, shop_settings), RowsAt(one_, shop_settings));
  EXPECT_EQ(NumberAt(three, "select basevalue from management"), 5);
}

TEST_F(SharedDataTest, OfflineATillSellsButRefusesEditsAndStoredValueUntilTheServerIsBack) {
  Write(one_, kAddMember);
  testing_support::PgCluster::Shared().Stop();
  server_testing::CommitBill(1);  // cash: sells as ever, queued for later
  EXPECT_EQ(Pending(), 1);
  EXPECT_EQ(testing_support::RefusalOf([&] {
              Write(one_, "update goodsmaster set salesprice = 9 where barcode = 'A'");
            }).message,
            serversync::kOfflineEditText);
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = 'A'"), 2.5);
  SilentUi ui;
  EXPECT_FALSE(PayFromStoredValue(10, ui).committed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{serversync::kOfflineStoredValueText});
  EXPECT_EQ(Number("select depositvalue from membermaster"), 30);

  testing_support::PgCluster::Shared().Start();
  Send();
  EXPECT_EQ(Pending(), 0);
  Write(one_, "update goodsmaster set salesprice = 9 where barcode = 'A'");
  EXPECT_TRUE(PayFromStoredValue(10, ui).committed);
  EXPECT_EQ(ServerDeposit(), 20);
  // The shop's stock counts the sale made offline once it arrived.
  EXPECT_EQ(ServerNumber("select quantity from stock where barcode = 'B'"),
            NumberAt(one_, "select quantity from inventory where barcode = 'B'"));
}

TEST_F(SharedDataTest, TwoTillsCannotVerifyTheSamePurchaseBillAndStockRisesOnce) {
  const auto two = AddTill("收银二");
  Write(one_, "insert into import (barcode,quantity,importprice,importvalue) values ('A',6,2,12)");
  Pull(two);
  EXPECT_EQ(RowsAt(two, "select barcode,quantity from import"), "A|6.0|\n");

  At(one_, [] { backoffice::VerifyPurchaseBill(); });
  EXPECT_EQ(ServerNumber("select quantity from stock where barcode = 'A'"), 6);
  // The second till has not seen the verification yet and tries it too.
  EXPECT_EQ(testing_support::RefusalOf([&] {
              At(two, [] { backoffice::VerifyPurchaseBill(); });
            }).message,
            serversync::kBillChangedText);
  EXPECT_EQ(ServerNumber("select quantity from stock where barcode = 'A'"), 6);
  Pull(two);
  EXPECT_EQ(RowsAt(two, "select barcode from import"), "");
  EXPECT_EQ(NumberAt(two, "select quantity from inventory where barcode = 'A'"), 6);
  EXPECT_EQ(ServerCount("select count(*) from records where kind = 'purchase'"), 1);
}

}  // namespace
