#include "core/app/startup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <thread>

#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using app::LoginResult;

// Starts a process whose executable is called name (a copy of sleep), waits until the process
// list shows it and returns its pid.
pid_t StartNamedProcess(const fs::path& dir, const std::string& name) {
  fs::path program = dir / name;
  fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
  pid_t pid = fork();
  if (pid == 0) {
    execl(program.c_str(), name.c_str(), "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 200; ++i) {
    auto names = app::RunningProcessNames();
    if (names && std::find(names->begin(), names->end(), name) != names->end()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return pid;
}

TEST(SingleInstanceTest, TwoCopiesByNameOrOnTheSameDataFolderAreRefused) {
  EXPECT_TRUE(app::IsSingleInstance({}));
  EXPECT_TRUE(app::IsSingleInstance({"bash", "Tillwise", "sqlite3"}));
  EXPECT_FALSE(app::IsSingleInstance({"Tillwise", "bash", "Tillwise-old"}));
  EXPECT_TRUE(app::IsSingleInstance({"Tillwise", "tillwise", "TILLWISE"}));  // case-sensitive
  fs::path dir = testing_support::MakeTempDir();
  pid_t first = StartNamedProcess(dir, "Tillwise");
  // This test program is not named Tillwise, so one running copy is allowed.
  EXPECT_TRUE(app::CheckSingleInstance());
  pid_t second = StartNamedProcess(dir, "Tillwise-b");
  EXPECT_FALSE(app::CheckSingleInstance());
  for (pid_t pid : {first, second}) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  fs::remove_all(dir);
  using Outcome = app::DataFolderLock::Outcome;
  dir = testing_support::MakeTempDir();
  std::optional<app::DataFolderLock> held, other;
  ASSERT_EQ(app::DataFolderLock::Take(dir, held), Outcome::kTaken);
  EXPECT_EQ(app::DataFolderLock::Take(dir, other), Outcome::kHeldElsewhere);
  held.reset();
  EXPECT_EQ(app::DataFolderLock::Take(dir, other), Outcome::kTaken);
  EXPECT_EQ(app::DataFolderLock::Take(dir / "missing", held), Outcome::kUnavailable);
  fs::remove_all(dir);
}

using LoginTest = testing_support::TestDatabase;

TEST_F(LoginTest, PasswordsAreExactAResetRestoresAccountZeroAndABadFileIsNamed) {
  EXPECT_EQ(app::Login("0", "0"), LoginResult::kAccepted);
  EXPECT_EQ(app::Login("0", "1"), LoginResult::kRefused);
  EXPECT_EQ(app::Login("5", "0"), LoginResult::kRefused);
  Open().Exec("update operatormaster set operatorpassword = 'Abc' where workno = '0'");
  EXPECT_EQ(app::Login("0", "abc"), LoginResult::kRefused);
  EXPECT_EQ(app::Login("0", "Abc"), LoginResult::kAccepted);
  EXPECT_EQ(app::Login("0' or '1'='1", "Abc"), LoginResult::kRefused);
  EXPECT_EQ(app::Login("0", "x' or '1'='1"), LoginResult::kRefused);
  Open().Exec("update operatormaster set operatorpassword = null where workno = '0'");
  EXPECT_EQ(app::Login("0", ""), LoginResult::kRefused);
  Open().Exec("update operatormaster set operatorpassword = '' where workno = '0'");
  EXPECT_EQ(app::Login("0", ""), LoginResult::kAccepted);
  for (const char* damage :
       {"update operatormaster set operatorpassword = 'changed', operatorduty = '收银员';"
        "update dutyrights set dutyrights = 0;",
        "delete from operatormaster; delete from dutyrights;"}) {
    SCOPED_TRACE(damage);
    Open().ExecScript(damage);
    ASSERT_EQ(app::Login("0", "0"), LoginResult::kRefused);
    app::ResetAccountZero();
    EXPECT_EQ(app::Login("0", "0"), LoginResult::kAccepted);
    store::Database db = Open();
    EXPECT_EQ(db.QueryText("select operatorduty from operatormaster where workno = '0'"), "经理");
    EXPECT_EQ(db.QueryInt("select count(*) from dutyrights where dutyrights <> 1"), 0);
    EXPECT_EQ(db.QueryInt("select sales from dutyrights where operatorduty = '经理'"), 1);
  }
  // Emptying the lock table at start-up is proven through the login screen.
  EXPECT_TRUE(app::CheckAuthorization("qorvanep"));
  EXPECT_FALSE(app::CheckAuthorization("QORVANEP") || app::CheckAuthorization("qorvanep "));
  std::ofstream(store::DatabasePath(), std::ios::binary) << "a text file, not a database";
  EXPECT_EQ(app::Login("0", ""), LoginResult::kDamaged);
  fs::remove(store::DatabasePath());
  EXPECT_EQ(app::Login("0", ""), LoginResult::kNoDatabase);
  EXPECT_FALSE(fs::exists(store::DatabasePath()));
  EXPECT_NO_THROW(app::ClearLockProcess());
}

}  // namespace
