// A till can lose power in the middle of a sale. A child process commits bills in a loop and
// is killed at random moments; every bill left in kasso.db must be whole, and stock and
// stored value must match the bills exactly.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "core/sale/commit_sale.h"
#include "core/sale/sale_lines.h"
#include "sale_fixture.h"

namespace {

constexpr int kKills = 20;
constexpr double kInitialStock = 1000000;
constexpr double kInitialDeposit = 1000000;

class SilentUi : public sale_testing::ScriptedSaleUi {
 public:
  void Message(std::string_view) override {}
};

sale::SaleLine MakeLine(const std::string& barcode, double quantity, double price) {
  sale::SaleLine line;
  line.barcode = barcode;
  line.quantity = quantity;
  line.price = price;
  sale::SetLineAmounts(line, 1.0, price, quantity);
  return line;
}

// Runs in the child: commits three-line member bills until it is killed.
[[noreturn]] void CommitForever() {
  SilentUi ui;
  sale::CurrentSale sale;
  for (int bill = 0;; ++bill) {
    sale.lines = {MakeLine("A", 1 + bill % 3, 2.50), MakeLine("B", 2, 1.25),
                  MakeLine("C", 1, 9.99)};
    sale.workno = "0";
    sale.member_id = "M1";
    sale::CommitSale(sale, {.due = 10, .cash = 20, .stored = 1.00}, ui);
  }
}

class CommitCrashTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    for (const char* barcode : {"A", "B", "C"}) {
      AddGoods({barcode, barcode, 1, 1});
      Open().Exec("insert into inventory (barcode,quantity) values (?,?)", barcode, kInitialStock);
    }
    AddMember({.memberid = "M1", .name = "王芳", .depositmode = "是"});
    Open().Exec("update membermaster set depositvalue = ?", kInitialDeposit);
  }

  // Every bill whole; stock and stored value moved by exactly what the bills say.
  void CheckConsistent() {
    store::Database db = Open();
    EXPECT_EQ(db.QueryText("pragma integrity_check"), "ok");
    // Bills without exactly three lines and one summary, or whose summary disagrees with them.
    EXPECT_EQ(db.QueryText("select ifnull(group_concat(transactionnumber), '') from ("
                           "select transactionnumber from transactiondetails "
                           "group by transactionnumber having sum(transactiontype = '销售') <> 3 "
                           "or sum(transactiontype = '销售总计') <> 1 "
                           "or abs(sum(case when transactiontype = '销售' then quantity "
                           "else -quantity end)) > 1e-9 "
                           "or abs(sum(case when transactiontype = '销售' then actualvalue "
                           "else -actualvalue end)) > 1e-9)"),
              "");
    for (const std::string barcode : {"A", "B", "C"}) {
      double sold = Number(
          "select ifnull(sum(quantity),0) from transactiondetails "
          "where transactiontype = '销售' and barcode = ?",
          barcode);
      double stock = Number("select quantity from inventory where barcode = ?", barcode);
      EXPECT_NEAR(kInitialStock - stock, sold, 1e-6) << barcode;
    }
    double stored = Number(
        "select ifnull(sum(cardpaid),0) from transactiondetails where transactiontype = "
        "'销售总计'");
    double deposit = Number("select depositvalue from membermaster");
    EXPECT_NEAR(kInitialDeposit - deposit, stored, 1e-6);
  }
};

TEST_F(CommitCrashTest, KilledMidCommitLeavesOnlyWholeBills) {
  const auto seed = static_cast<unsigned>(std::random_device{}());
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay_ms(5, 80);
  for (int round = 0; round < kKills; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) CommitForever();
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    CheckConsistent();
    if (HasFailure()) return;
  }
  EXPECT_GT(Count("select count(*) from transactiondetails"), 0)
      << "no bill was ever committed: the test proved nothing";
}

}  // namespace
