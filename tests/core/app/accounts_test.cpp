#include "core/app/accounts.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/app/login.h"
#include "support/test_database.h"

namespace {

using app::OperatorRecord;
using app::SaveOperator;
using app::SaveResult;
using testing_support::ErrorOf;
using testing_support::Refusal;
using testing_support::RefusalOf;

class AccountsTest : public testing_support::TestDatabase {
 protected:
  int64_t AccountCount() const { return Count("select count(*) from operatormaster"); }

  static Refusal RefusalFor(const OperatorRecord& account) {
    return RefusalOf([&] { SaveOperator(account); });
  }
};

TEST_F(AccountsTest, RefusedAccountsWriteNothingAndNewNumbersAreInsertedKnownOnesUpdated) {
  const std::tuple<OperatorRecord, const char*, const char*> cases[] = {
      {{"   ", "小王", "", "收银员"}, "工号不能为空", "workno"},
      {{"7", "   ", "1", "收银员"}, "名称不能为空", "operatorname"},
      {{"7", "小王", "1", ""}, "职责不能为空", "operatorduty"},
      {{"7", "小王", "1", "老板"}, "职责选择有误", "operatorduty"},
      {{"0", "管理员", "0", "收银员"}, "0账号的职责必须是经理", "operatorduty"},
      {{"0 ", "管理员", "0", "收银员"}, "0账号的职责必须是经理", "operatorduty"},
  };
  for (const auto& [account, message, field] : cases) {
    EXPECT_EQ(RefusalFor(account), (Refusal{message, field})) << account.workno;
  }
  EXPECT_EQ(AccountCount(), 1);
  EXPECT_EQ(app::LoadOperator("0")->operatorduty, "经理");
  const OperatorRecord tricky{"1' or '1'='1", "O'Brien'); drop table operatormaster; --", "p'w\"d",
                              "收银员"};
  EXPECT_EQ(SaveOperator(tricky), SaveResult::kInserted);
  EXPECT_EQ(SaveOperator({"7", "小王", "abc", "收银员"}), SaveResult::kInserted);
  // Trailing blanks do not make a second account: the login would never find it.
  EXPECT_EQ(SaveOperator({"7  ", "王小二", "xyz", "经理"}), SaveResult::kUpdated);
  auto accounts = app::ListOperators();
  ASSERT_EQ(accounts.size(), 3u);
  EXPECT_EQ(accounts[0].workno + "|" + accounts[1].operatorname, "0|" + tricky.operatorname);
  EXPECT_EQ(accounts[2].operatorname + accounts[2].operatorduty, "王小二经理");
  EXPECT_TRUE(accounts[2].operatorpassword.empty());  // the list never carries passwords
  // Only the hash is stored, and the editor is never handed it.
  EXPECT_EQ(app::LoadOperator("7 ")->operatorpassword, "");
  EXPECT_EQ(app::Login("7", "xyz"), app::LoginResult::kAccepted);
  EXPECT_EQ(app::Login(tricky.workno, tricky.operatorpassword), app::LoginResult::kAccepted);
  EXPECT_FALSE(app::LoadOperator("9"));
  app::DeleteOperator(tricky.workno);
  EXPECT_FALSE(app::LoadOperator(tricky.workno));
  EXPECT_EQ(AccountCount(), 2);
}

TEST_F(AccountsTest, BuiltInAccountStaysAndAnUnreadableTableIsReportedNotSaved) {
  EXPECT_EQ(SaveOperator({"0", "老板", "secret", "经理"}), SaveResult::kUpdated);
  EXPECT_EQ(app::Login("0", "secret"), app::LoginResult::kAccepted);
  for (const char* workno : {"0", "0 "}) {
    EXPECT_EQ(ErrorOf([&] { app::DeleteOperator(workno); }), "此账号不能删除!") << workno;
  }
  EXPECT_TRUE(app::LoadOperator("0"));
  Open().Exec("delete from operatormaster where workno = '0'");
  EXPECT_EQ(RefusalFor({"0", "管理员", "0", "经理"}), (Refusal{"不能添加工号为0的账号", "workno"}));
  EXPECT_EQ(AccountCount(), 0);
  Open().Exec("alter table operatormaster rename to operatormaster_old");
  EXPECT_EQ(RefusalFor({"7", "小王", "", "收银员"}), (Refusal{"登陆账号有误", ""}));
  std::filesystem::remove(store::DatabasePath());
  EXPECT_THROW(SaveOperator({"7", "小王", "", "收银员"}), store::DbError);
  EXPECT_THROW(app::ListOperators(), store::DbError);
  EXPECT_THROW(app::DeleteOperator("7"), store::DbError);
}

}  // namespace
