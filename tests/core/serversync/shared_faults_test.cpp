// The back office's own operations at a till joined to a shop server: each reaches the other
// tills whole, each is refused offline with nothing changed here, and a data clear or a
// restore neither sends the shop's data away nor loses what the till still owes the server.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "core/app/accounts.h"
#include "core/app/backup.h"
#include "core/app/data_clear.h"
#include "core/app/duty_rights.h"
#include "core/app/restore.h"
#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/save_goods.h"
#include "core/backoffice/goods/stocktake.h"
#include "core/backoffice/members/member_files.h"
#include "core/backoffice/members/member_master.h"
#include "core/backoffice/members/points_feedback.h"
#include "core/backoffice/members/top_up.h"
#include "core/devices/settings_checks.h"
#include "core/settings/settings.h"
#include "shared_fixture.h"

namespace {

using server_testing::MakeLine;
using server_testing::SilentUi;
using testing_support::ErrorOf;

constexpr const char* kAddMember =
    "insert into membermaster (memberid,membername,membersex,memberphone,memberaddress,"
    "memberpointsmode,memberpointsvalue,depositmode,depositvalue,dismode,disrate,disondis) "
    "values ('M1','张三','男','13900000000','一路1号','是',10,'是',30,'没有优惠',1,'否')";

// Every shared table as one text, to see that nothing moved.
constexpr const char* kSharedTables[] = {
    "select barcode,goodsname,salesprice,iniinventory,iscombined from goodsmaster order by 1",
    // A goods without a stock row has none: the server keeps no row of a figure never moved.
    "select barcode,quantity from inventory where quantity <> 0 order by 1",
    "select barcode,underlyingcode,quantity from combinedgoods order by 1,2",
    "select memberid,membername,depositvalue,memberpointsvalue from membermaster order by 1",
    "select workno,operatorname,operatorduty from operatormaster order by 1",
    "select * from dutyrights order by 1",
    "select priceforcost,wipevalue,basevalue,pointsvalue from management",
    "select barcode,quantity from import order by 1",
    "select barcode,quantity from return order by 1",
    "select barcode,accquant,invquant from invcount order by 1",
};

class AgreeingUi : public backoffice::GoodsSaveUi {
 public:
  void Note(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return true; }
};

class SharedFaultsTest : public server_testing::SharedDataFixture {
 protected:
  std::string SharedAt(const std::filesystem::path& till) {
    std::string all;
    for (const char* sql : kSharedTables) all += RowsAt(till, sql) + "--\n";
    return all;
  }
  double ServerSeq() { return ServerNumber("select lastseq::float8 from shops"); }
  double ServerStock(const std::string& barcode) {
    return ServerNumber("select coalesce(sum(quantity),0)::float8 from stock where barcode = '" +
                        barcode + "'");
  }
  double ServerDeposit() {
    return ServerNumber("select coalesce(sum(deposit),0)::float8 from balances");
  }

  static backoffice::GoodsFields Goods(const std::string& barcode, const std::string& stock) {
    backoffice::GoodsFields fields;
    fields.barcode = barcode;
    fields.goodsname = "新货" + barcode;
    fields.unit = "个";
    fields.class_name = "水果";
    fields.salesprice = "4.5";
    fields.iniinventory = stock;
    return fields;
  }
  static backoffice::MemberFields Member(const std::string& id, const std::string& points) {
    backoffice::MemberFields f;
    f.memberid = id;
    f.membername = "王五";
    f.membersex = "女";
    f.memberphone = "13900000009";
    f.memberpointsmode = "是";
    f.depositmode = "是";
    f.dismode = "没有优惠";
    f.memberpointsvalue = points;
    return f;
  }
  static backoffice::BillLineFields Line(const std::string& barcode, const std::string& quantity) {
    return {barcode, quantity, "2.00", "", backoffice::LineChange::kNone};
  }

  AgreeingUi ui_;
};

TEST_F(SharedFaultsTest, BackOfficeSavesAtAJoinedTillReachTheOtherTillWhole) {
  const auto two = AddTill("收银二");
  const std::string welcome_two = RowsAt(two, "select welcome from management");
  // A new goods with its opening stock, and a combined goods with its components.
  backoffice::SaveGoods(Goods("C", "7"), "", false, ui_);
  Open().Exec("insert into combinedgoodstemp (underlyingcode,quantity) values ('A',2)");
  backoffice::GoodsFields combined = Goods("D", "0");
  combined.iscombined = "是";
  backoffice::SaveGoods(combined, "", false, ui_);
  // A member with opening points, one deleted, an account, the cashiers' rights, the shop's
  // points rule.
  Write(one_, kAddMember);
  backoffice::SaveMember(Member("M2", "12"));
  backoffice::DeleteMember("M1");
  app::SaveOperator({"8", "周八", "口令", app::kCashierDuty}, "0");
  app::DutyRights rights{};
  rights[0] = true;
  app::SaveDutyRights(app::kCashierDuty, rights, "0");
  {
    store::Database db;
    settings::Settings shop = settings::LoadSettings(db);
    shop.points_base = 7;
    shop.welcome = "一号机欢迎您";
    devices::SaveCheckedSettings(shop, "0");
  }

  Pull(two);
  Pull(one_);
  // The till's own welcome stays its own; everything else is the same at both tills.
  EXPECT_EQ(NumberAt(two, "select basevalue from management"), 7);
  EXPECT_EQ(RowsAt(two, "select welcome from management"), welcome_two);
  EXPECT_EQ(SharedAt(two), SharedAt(one_));
  EXPECT_EQ(RowsAt(two, "select barcode,quantity from inventory where barcode = 'C'"), "C|7.0|\n");
  EXPECT_EQ(ServerStock("C"), 7);
  EXPECT_EQ(RowsAt(two, "select barcode,underlyingcode,quantity from combinedgoods"), "D|A|2.0|\n");
  EXPECT_EQ(RowsAt(two, "select memberid,memberpointsvalue from membermaster"), "M2|12.0|\n");
  EXPECT_EQ(RowsAt(two, "select operatorname from operatormaster where workno = '8'"), "周八|\n");
  EXPECT_EQ(RowsAt(two, "select sales,inventory from dutyrights where operatorduty = '收银员'"),
            "1|0|\n");
}

TEST_F(SharedFaultsTest, OfflineEveryBackOfficeEditIsRefusedAndNothingChangesHere) {
  Write(one_, kAddMember);
  backoffice::GenerateStocktake();
  Write(one_, "insert into import (barcode,quantity,importprice,importvalue) values ('A',6,2,12)");
  Write(one_, "insert into return (barcode,quantity,returnprice,returnvalue) values ('B',1,2,2)");
  testing_support::PgCluster::Shared().Stop();
  const std::string before = SharedAt(one_);
  const std::vector<std::pair<const char*, std::function<void()>>> edits = {
      {"new goods", [&] { backoffice::SaveGoods(Goods("C", "7"), "", false, ui_); }},
      {"goods deleted", [] { backoffice::DeleteGoods("A"); }},
      {"new member", [] { backoffice::SaveMember(Member("M2", "12")); }},
      {"member deleted", [] { backoffice::DeleteMember("M1"); }},
      {"account",
       [] {
         app::SaveOperator({"8", "周八", "口令", app::kCashierDuty}, "0");
       }},
      {"rights", [] { app::SaveDutyRights(app::kCashierDuty, app::DutyRights{}, "0"); }},
      {"points rule",
       [] {
         store::Database db;
         settings::Settings shop = settings::LoadSettings(db);
         shop.points_base = 7;
         devices::SaveCheckedSettings(shop, "0");
       }},
      {"purchase line",
       [] { backoffice::SaveBillLine(backoffice::BillKind::kPurchase, Line("B", "3")); }},
      {"purchase line deleted",
       [] { backoffice::DeleteBillLine(backoffice::BillKind::kPurchase, "A"); }},
      {"return line deleted",
       [] { backoffice::DeleteBillLine(backoffice::BillKind::kReturn, "B"); }},
      {"return verified", [] { backoffice::VerifyBill(backoffice::BillKind::kReturn); }},
      {"count", [] { backoffice::SaveCount("A", "3"); }},
      {"stocktake verified", [] { backoffice::VerifyStocktake(); }},
  };
  for (const auto& [what, edit] : edits) {
    EXPECT_EQ(ErrorOf(edit), serversync::kOfflineEditText) << what;
    EXPECT_EQ(SharedAt(one_), before) << what;
  }
  // A setting of this till alone is saved as ever, and the till sells.
  {
    store::Database db;
    settings::Settings own = settings::LoadSettings(db);
    own.welcome = "欢迎再来";
    devices::SaveCheckedSettings(own, "0");
  }
  EXPECT_EQ(RowsAt(one_, "select welcome from management"), "欢迎再来|\n");
  server_testing::CommitBill(1);
  EXPECT_EQ(Pending(), 1);
  testing_support::PgCluster::Shared().Start();
}

TEST_F(SharedFaultsTest, OpenBillLinesAndCountsEditedAtOneTillReachTheOtherAndVerifyOnce) {
  const auto two = AddTill("收银二");
  backoffice::GenerateStocktake();
  backoffice::SaveCount("B", "5");
  backoffice::SaveBillLine(backoffice::BillKind::kReturn, Line("A", "2"));
  backoffice::SaveBillLine(backoffice::BillKind::kReturn, Line("B", "1"));
  backoffice::DeleteBillLine(backoffice::BillKind::kReturn, "B");
  Pull(two);
  EXPECT_EQ(RowsAt(two, "select barcode,quantity from return"), "A|2.0|\n");
  EXPECT_EQ(RowsAt(two, "select barcode,invquant from invcount order by 1"), "A|0.0|\nB|5.0|\n");

  // The return goes out once, the count comes in once, whichever till verifies first.
  At(two, [] { backoffice::VerifyBill(backoffice::BillKind::kReturn); });
  EXPECT_EQ(ErrorOf([] { backoffice::VerifyBill(backoffice::BillKind::kReturn); }),
            serversync::kBillChangedText);
  backoffice::VerifyStocktake();
  EXPECT_EQ(ErrorOf([&] { At(two, [] { backoffice::VerifyStocktake(); }); }),
            serversync::kBillChangedText);
  EXPECT_EQ(ServerStock("A"), -2);
  EXPECT_EQ(ServerStock("B"), 5);
  Pull(two);
  Pull(one_);
  EXPECT_EQ(SharedAt(two), SharedAt(one_));
  EXPECT_EQ(RowsAt(two, "select barcode,quantity from inventory order by 1"), "A|-2.0|\nB|5.0|\n");
}

TEST_F(SharedFaultsTest, ADataClearOrARestoreSendsNothingAndTheNextPullCopiesTheShopAgain) {
  Write(one_, kAddMember);
  backoffice::SaveGoods(Goods("C", "7"), "", false, ui_);
  const auto two = AddTill("收银二");
  const std::filesystem::path backup = two / "old.dat";
  At(two, [&] { app::CopyDatabaseTo(backup); });
  Write(one_, "update goodsmaster set salesprice = 3 where barcode = 'A'");
  Pull(two);
  const double seq = ServerSeq();
  const std::string shop = SharedAt(one_);

  At(two, [] {
    app::ClearData({app::ClearGroup::kStock, app::ClearGroup::kMembers, app::ClearGroup::kGoods});
  });
  EXPECT_EQ(RowsAt(two, "select count(*) from goodsmaster"), "0|\n");
  At(two, [&] { Send(); });
  EXPECT_EQ(ServerSeq(), seq);
  EXPECT_EQ(ServerStock("C"), 7);
  EXPECT_EQ(ServerDeposit(), 30);
  Pull(two);
  EXPECT_EQ(SharedAt(two), shop);

  // The backup still has the old price; restored, it sends nothing and is brought up to date.
  At(two, [&] { app::RestoreDatabaseFrom(backup); });
  EXPECT_EQ(NumberAt(two, "select salesprice from goodsmaster where barcode = 'A'"), 2.5);
  At(two, [&] { Send(); });
  EXPECT_EQ(ServerSeq(), seq);
  Pull(two);
  EXPECT_EQ(SharedAt(two), shop);
  EXPECT_EQ(ServerNumber("select count(*) from shared_rows where rows = '[]'::jsonb"), 0);
}

TEST_F(SharedFaultsTest, WhatATillOwedTheServerBeforeARestoreStillMovesStockAndBalances) {
  Write(one_, kAddMember);
  const std::filesystem::path backup = one_ / "before.dat";
  app::CopyDatabaseTo(backup);
  const double stock_a = ServerStock("A");
  testing_support::PgCluster::Shared().Stop();
  server_testing::CommitBill(1);  // two A and one B, cash
  backoffice::DepositConfirmation("M1", 50, false, "管理员");
  testing_support::PgCluster::Shared().Start();
  EXPECT_EQ(Pending(), 2);

  app::RestoreDatabaseFrom(backup);
  EXPECT_EQ(Pending(), 2);
  Send();
  EXPECT_EQ(ServerStock("A"), stock_a - 2);
  EXPECT_EQ(ServerDeposit(), 80);
  Pull(one_);
  EXPECT_EQ(Number("select depositvalue from membermaster"), 80);
}

TEST_F(SharedFaultsTest, OfflineARefundToAMemberAndPointsGoOnAndCountOnceBack) {
  Write(one_, kAddMember);
  testing_support::PgCluster::Shared().Stop();
  SilentUi ui;
  sale::CurrentSale refund;
  refund.workno = "0";
  refund.member_id = "M1";
  refund.points_member = true;
  refund.lines = {MakeLine("A", -2, 2.50)};
  EXPECT_TRUE(sale::CommitSale(refund, {.due = -5, .cash = -5}, ui).committed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{});
  const double points = Number("select memberpointsvalue from membermaster");
  EXPECT_LT(points, 10);
  // Points turned into stored value offline travel the same way.
  backoffice::Redemption rebate;
  rebate.memberid = "M1";
  rebate.kind = backoffice::kRebate;
  rebate.rate = "0.5";
  rebate.points = "2";
  rebate.workno = "0";
  backoffice::RedeemPoints(rebate);
  EXPECT_EQ(Number("select depositvalue from membermaster"), 31);
  testing_support::PgCluster::Shared().Start();
  Send();
  EXPECT_EQ(Pending(), 0);
  EXPECT_EQ(ServerStock("A"), 2);
  EXPECT_EQ(ServerNumber("select points::float8 from balances where memberid = 'M1'"), points - 2);
  EXPECT_EQ(ServerDeposit(), 31);
}

// Two tills adding the same new barcode before either saw the other's: the second is told and
// changes nothing, so neither the goods nor its opening stock is taken twice.
TEST_F(SharedFaultsTest, TwoTillsAddingTheSameNewBarcodeKeepTheFirstGoodsAndItsStockOnce) {
  const auto two = AddTill("收银二");
  backoffice::SaveGoods(Goods("C", "7"), "", false, ui_);
  // The second till has not pulled the first till's goods when it adds its own.
  backoffice::GoodsFields other = Goods("C", "7");
  other.goodsname = "另一个C";
  EXPECT_EQ(ErrorOf([&] { At(two, [&] { backoffice::SaveGoods(other, "", false, ui_); }); }),
            serversync::kKeyTakenText);
  EXPECT_EQ(RowsAt(two, "select barcode from goodsmaster where barcode = 'C'"), "");
  Pull(one_);
  Pull(two);
  const char* goods = "select barcode,goodsname,iniinventory from goodsmaster where barcode = 'C'";
  EXPECT_EQ(RowsAt(one_, goods), "C|新货C|7.0|\n");
  EXPECT_EQ(RowsAt(two, goods), RowsAt(one_, goods));
  EXPECT_EQ(ServerStock("C"), 7);
  EXPECT_EQ(NumberAt(two, "select quantity from inventory where barcode = 'C'"), 7);
  // Once it has the shop's goods, the second till changes it like any other.
  other.salesprice = "9";
  At(two, [&] { backoffice::SaveGoods(other, "C", false, ui_); });
  Pull(one_);
  EXPECT_EQ(RowsAt(one_, goods), "C|另一个C|7.0|\n");
}

TEST_F(SharedFaultsTest, GoodsAndMembersImportedAtAJoinedTillReachTheShopOrAreRefusedWhole) {
  const auto two = AddTill("收银二");
  std::ofstream(one_ / "goods.txt", std::ios::binary) << "7001,牛奶,4.5,3,3,盒,乳制品,否,0,12\r\n"
                                                         "7002,面包,2,1,1,个,食品,否,0,0\r\n";
  std::ofstream(one_ / "members.txt", std::ios::binary)
      << "M5,钱七,110101,13800000001,北京,男,是,500.00,是,100.00,pw\r\n"
         "M6,孙八,110102,13800000002,北京,女,否,0.00,否,0.00,\r\n";

  testing_support::PgCluster::Shared().Stop();
  const std::string before = SharedAt(one_);
  EXPECT_EQ(ErrorOf([&] { backoffice::ImportGoodsText(one_ / "goods.txt"); }),
            serversync::kOfflineEditText);
  EXPECT_EQ(ErrorOf([&] { backoffice::ImportMembersText(one_ / "members.txt"); }),
            serversync::kOfflineEditText);
  EXPECT_EQ(SharedAt(one_), before);
  testing_support::PgCluster::Shared().Start();

  EXPECT_EQ(backoffice::ImportGoodsText(one_ / "goods.txt").added, 2u);
  EXPECT_EQ(backoffice::ImportMembersText(one_ / "members.txt").added, 2u);
  Pull(two);
  Pull(one_);
  EXPECT_EQ(SharedAt(two), SharedAt(one_));
  EXPECT_EQ(ServerStock("7001"), 12);
  EXPECT_EQ(ServerDeposit(), 100);
  EXPECT_EQ(RowsAt(two,
                   "select memberid,depositvalue,memberpointsvalue from membermaster "
                   "order by 1"),
            "M5|100.0|500.0|\nM6|0.0|0.0|\n");
}

TEST_F(SharedFaultsTest, ASendAndAStoredValuePaymentOfOneTillAtOnceBothFinish) {
  Write(one_, kAddMember);
  for (int n = 0; n < 20; ++n) server_testing::CommitBill(n);
  const server_testing::Totals bills = LocalTotals();
  // The sender holds each batch's server transaction open a moment, stock and all, while
  // the cashier pays from the member's stored value.
  const pid_t sender = fork();
  if (sender == 0) {
    serversync::SendOptions slow = server_testing::Batches(2);
    slow.before_commit = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(40)); };
    try {
      store::Database db;
      serversync::SendPending(db, slow);
    } catch (...) {
      _exit(2);
    }
    _exit(0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  SilentUi ui;
  sale::CurrentSale sale;
  sale.workno = "0";
  sale.member_id = "M1";
  sale.lines = {MakeLine("B", 8, 1.25)};
  EXPECT_TRUE(sale::CommitSale(sale, {.due = 10, .stored = 10}, ui).committed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{});
  int status = 0;
  ASSERT_EQ(waitpid(sender, &status, 0), sender);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  Send();
  EXPECT_EQ(Pending(), 0);
  EXPECT_EQ(ServerTotals(), LocalTotals());
  EXPECT_EQ(LocalTotals().bills, bills.bills + 1);
  EXPECT_EQ(ServerDeposit(), 20);
  EXPECT_EQ(ServerStock("B"), -28);
  Pull(one_);
  EXPECT_EQ(Number("select quantity from inventory where barcode = 'B'"), -28);
  EXPECT_EQ(Number("select depositvalue from membermaster"), 20);
}

TEST_F(SharedFaultsTest, APullWhileTheSameTillSellsKeepsTheSaleAndTheCopyWhole) {
  const auto two = AddTill("收银二");
  Write(two, "update goodsmaster set salesprice = 3 where barcode = 'A'");
  // The pull holds its batch open a moment while the cashier commits a sale.
  const pid_t puller = fork();
  if (puller == 0) {
    serversync::PullOptions slow;
    slow.before_commit = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };
    try {
      Pull(one_, slow);
    } catch (...) {
      _exit(2);
    }
    _exit(0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  server_testing::CommitBill(1);
  int status = 0;
  ASSERT_EQ(waitpid(puller, &status, 0), puller);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(LocalTotals().bills, 1);
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = 'A'"), 3);
  Send();
  Pull(one_);
  EXPECT_EQ(ServerStock("A"), -2);
  EXPECT_EQ(Number("select quantity from inventory where barcode = 'A'"), -2);
}

TEST_F(SharedFaultsTest, ATillWithOldUntidyDataSeedsANewShopAndKeepsWhatCanBeShared) {
  // Stock in two rows for one goods, rows without a key, as older files may hold them.
  const std::filesystem::path first = testing_support::MakeTempDir();
  others_.push_back(first);
  At(first, [&] {
    store::CreateNewDatabase(store::DatabasePath());
    store::Database db;
    db.ExecScript(
        "insert into goodsmaster (barcode,goodsname,salesprice) values ('K','旧货',9),"
        "(null,'无条码',1);"
        "insert into inventory (barcode,quantity) values ('K',2),('K',3),(null,4);"
        "insert into membermaster (memberid,membername,depositvalue,memberpointsvalue) "
        "values ('V1','老会员',12.5,3),(null,'无编号',9,9);");
    serversync::JoinServer(db, conninfo_, "二号店", "甲");
  });
  EXPECT_EQ(RowsAt(first,
                   "select barcode,goodsname,salesprice from goodsmaster where barcode "
                   "is not null"),
            "K|旧货|9.0|\n");
  EXPECT_EQ(NumberAt(first, "select sum(quantity) from inventory where barcode = 'K'"), 5);
  EXPECT_EQ(RowsAt(first,
                   "select memberid,depositvalue,memberpointsvalue from membermaster "
                   "where memberid is not null"),
            "V1|12.5|3.0|\n");
  EXPECT_EQ(ServerNumber("select quantity from stock where barcode = 'K'"), 5);
  EXPECT_EQ(ServerNumber("select deposit::float8 from balances where memberid = 'V1'"), 12.5);
  // The rows without a key stay at the till that had them, and go nowhere else.
  EXPECT_EQ(NumberAt(first, "select count(*) from goodsmaster where barcode is null"), 1);
  EXPECT_EQ(NumberAt(first, "select count(*) from membermaster where memberid is null"), 1);
  EXPECT_EQ(ServerNumber("select count(*) from shared_rows where key = '' and tbl <> 'management'"),
            0);
  // The first shop is untouched by the second.
  EXPECT_EQ(RowsAt(one_, "select barcode from goodsmaster order by 1"), "A|\nB|\n");
}

TEST_F(SharedFaultsTest, AStoredValueWithdrawalInTheBackOfficeTakesTheServersBalanceOrIsRefused) {
  Write(one_, kAddMember);
  const auto two = AddTill("收银二");
  At(two, [] { backoffice::DepositConfirmation("M1", -20, false, "管理员"); });
  EXPECT_EQ(ServerDeposit(), 10);
  // The first till has not seen it and would take 30 of the 10 left.
  EXPECT_EQ(ErrorOf([] { backoffice::DepositConfirmation("M1", -30, false, "管理员"); }),
            serversync::kShortBalanceText);
  EXPECT_EQ(Number("select depositvalue from membermaster"), 30);
  EXPECT_EQ(Count("select count(*) from depositbak"), 0);
  // Offline it is refused as every back-office change is, with nothing written.
  testing_support::PgCluster::Shared().Stop();
  EXPECT_EQ(ErrorOf([] { backoffice::DepositConfirmation("M1", -5, false, "管理员"); }),
            serversync::kOfflineEditText);
  EXPECT_EQ(Count("select count(*) from depositbak"), 0);
  EXPECT_EQ(Pending(), 0);
  testing_support::PgCluster::Shared().Start();
  Pull(one_);
  EXPECT_EQ(Number("select depositvalue from membermaster"), 10);
}

}  // namespace
