#include "core/store/schema.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;

using ShippedStateTest = testing_support::TestDatabase;

// That the shipped settings pass the settings screen's checks is proven with those checks, the
// shipped label templates with the templates.
TEST_F(ShippedStateTest, CashiersMaySellButNotManageAndNothingCreatesOrReplacesAFileUnasked) {
  // The manager's login and rights are proven with the login and the duty rights.
  store::Database db = Open();
  EXPECT_EQ(db.QueryText("select sales || settings || dutyrights || operator || dataclear "
                         "from dutyrights where operatorduty = '收银员'"),
            "10000");
  EXPECT_EQ(db.QueryInt("select count(*) from management"), 1);
  EXPECT_EQ(db.QueryText("select opencashiercmd from management"), "27, 112, 0, 128, 128");
  fs::path missing = dir() / "nothing.db";
  EXPECT_THROW(store::Database{missing}, store::DbError);  // opening never creates
  EXPECT_FALSE(fs::exists(missing));
  Open().Exec("insert into goodsmaster (barcode) values ('keep')");
  EXPECT_THROW(store::CreateNewDatabase(store::DatabasePath()), store::DbError);
  EXPECT_TRUE(Open().HasRow("select 1 from goodsmaster where barcode = 'keep'"));
  // A failed creation leaves nothing behind.
  fs::path target = dir() / "no-such-folder" / "kasso.db";
  EXPECT_ANY_THROW(store::CreateNewDatabase(target));
  EXPECT_FALSE(fs::exists(dir() / "no-such-folder"));
}

// Start-up never changes a file it cannot use: a missing or empty one is left for the person
// to decide, a damaged one for a restore.
TEST(PrepareDatabaseTest, LeavesUnusableOrReadOnlyFilesExactlyAsTheyAreAndUpgradesASoundOne) {
  fs::path dir = testing_support::MakeTempDir();
  fs::path file = dir / "kasso.db";
  store::CreateNewDatabase(file);
  const std::string good = testing_support::FileBytes(file);
  std::string kicked = good;
  kicked.replace(0, 5, "\x1b\x70\x00\x80\x80");  // a drawer kick written over the start
  std::string scrambled = good;
  scrambled.replace(100, 400, std::string(400, '\xff'));  // the schema page
  using enum store::FileState;
  for (auto [bytes, state] : {std::pair{std::string(), kMissing},
                              {"not a database", kDamaged},
                              {kicked, kDamaged},
                              {good.substr(0, good.size() / 2), kDamaged},
                              {scrambled, kDamaged}}) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(store::PrepareDatabase(file), state) << bytes.size();
    EXPECT_EQ(testing_support::FileBytes(file), bytes);
  }
  fs::remove(file);
  EXPECT_EQ(store::PrepareDatabase(file), kMissing);
  EXPECT_FALSE(fs::exists(file));
  store::CreateNewDatabase(file);
  store::Database(file).Exec("drop index goodsmaster_barcode_idx");
  EXPECT_EQ(store::PrepareDatabase(file), kReady);
  EXPECT_TRUE(store::Database(file).HasRow(
      "select 1 from sqlite_master where name = 'goodsmaster_barcode_idx'"));
  fs::remove_all(dir);
  // Root may write any file, so the check runs as an ordinary user in a child process.
  dir = testing_support::MakeTempDir();
  file = dir / "kasso.db";
  store::CreateNewDatabase(file);
  store::Database(file).Exec("drop index goodsmaster_barcode_idx");  // the upgrade would write
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string before = testing_support::FileBytes(file);
  pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
    _exit(store::PrepareDatabase(file) == store::FileState::kReadOnly ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(testing_support::FileBytes(file), before);
  fs::remove_all(dir);
  EXPECT_EQ(status, 0);
}

// Values bound as parameters are proven through the operations (accounts, settings, rights).
using TransactionTest = testing_support::TestDatabase;

// A guard left without a commit (by a return or a throw) undoes its part; nested guards undo
// their own part and the outer one decides.
TEST_F(TransactionTest, GuardsRollBackUnlessCommittedAndTheOuterOneDecides) {
  store::Database db = Open();
  auto insert = [&](const char* barcode) {
    db.Exec("insert into goodsmaster (barcode) values (?)", barcode);
  };
  for (bool commit_outer : {true, false}) {
    store::Transaction outer(db);
    insert(commit_outer ? "kept" : "never");
    {
      store::Transaction undone(db);  // left without a commit
      insert("undone");
    }
    store::Transaction inner(db);
    insert(commit_outer ? "inner" : "never either");
    inner.Commit();
    if (commit_outer) outer.Commit();
  }
  EXPECT_EQ(
      db.QueryText(
          "select group_concat(barcode) from (select barcode from goodsmaster order by rowid)"),
      "kept,inner");
  EXPECT_NE(sqlite3_get_autocommit(db.handle()), 0);  // no transaction is left open
}

}  // namespace
