// What the till holds stays private: hashed passwords, throttled guessing, owner-only files and
// an audit trail that is kept exactly when the action it records is.

#include <sys/stat.h>

#include "core/app/accounts.h"
#include "core/app/backup.h"
#include "core/app/data_clear.h"
#include "core/app/login.h"
#include "core/app/restore.h"
#include "core/app/startup.h"
#include "core/backoffice/members/member_files.h"
#include "core/common/clock.h"
#include "core/common/password.h"
#include "core/devices/settings_checks.h"
#include "core/reports/audit_log.h"
#include "core/sale/commit_sale.h"
#include "core/sale/member_selection.h"
#include "core/sale/till_duties.h"
#include "core/settings/settings.h"
#include "core/store/audit.h"
#include "core/store/private_files.h"
#include "core/store/schema.h"
#include "support/test_database.h"

namespace {

using app::LoginResult;
namespace fs = std::filesystem;

class SecurityTest : public testing_support::TestDatabase {
 protected:
  std::string StoredPassword(const std::string& workno) const {
    return Open()
        .QueryText("select operatorpassword from operatormaster where workno = ?", workno)
        .value_or("?");
  }
  std::int64_t AuditRows(const std::string& action) const {
    return Count("select count(*) from auditlog where action = ?", action);
  }
};

unsigned ModeOf(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return 0;
  return status.st_mode & 0777;
}

TEST_F(SecurityTest, OlderPlainPasswordsLogInOnceAndAreThenKeptHashed) {
  Open().Exec("update operatormaster set operatorpassword = 'Secret' where workno = '0'");
  Open().Exec(
      "insert into membermaster (memberid,membername,memberpw) values ('M1','张三','1234')");

  // A wrong password never changes what is stored, plain or hashed.
  EXPECT_EQ(app::Login("0", "secret"), LoginResult::kRefused);
  EXPECT_EQ(StoredPassword("0"), "Secret");
  EXPECT_EQ(app::Login("0", "Secret"), LoginResult::kAccepted);
  const std::string hashed = StoredPassword("0");
  EXPECT_TRUE(kasso::IsPasswordHash(hashed));
  EXPECT_EQ(hashed.find("Secret"), std::string::npos);
  EXPECT_EQ(app::Login("0", "Secret"), LoginResult::kAccepted);
  EXPECT_EQ(app::Login("0", "Secre"), LoginResult::kRefused);
  EXPECT_EQ(StoredPassword("0"), hashed);

  EXPECT_EQ(testing_support::ErrorOf([] { sale::CheckMemberSelection("M1", "4321"); }), "密码有误");
  EXPECT_EQ(Open().QueryText("select memberpw from membermaster where memberid = 'M1'"), "1234");
  EXPECT_EQ(sale::CheckMemberSelection("M1", "1234"), "M1");
  EXPECT_TRUE(kasso::IsPasswordHash(
      *Open().QueryText("select memberpw from membermaster where memberid = 'M1'")));
  EXPECT_EQ(sale::CheckMemberSelection("M1", "1234"), "M1");

  // Saving an account writes the hash; an empty password keeps the one it has.
  app::SaveOperator({"7", "李四", "abc", app::kCashierDuty}, "0");
  EXPECT_TRUE(kasso::IsPasswordHash(StoredPassword("7")));
  app::SaveOperator({"7", "李四改", "", app::kCashierDuty}, "0");
  EXPECT_EQ(app::Login("7", "abc"), LoginResult::kAccepted);
  EXPECT_EQ(app::LoadOperator("7")->operatorpassword, "");
  EXPECT_EQ(AuditRows(store::kAuditAccountChanged), 2);
}

TEST_F(SecurityTest, WrongPasswordsWaitThirtySecondsAfterFiveEvenAcrossARestart) {
  kasso::SetFixedClock(kasso::MakeTime(2026, 3, 1, 9, 0, 0));
  for (int i = 0; i < app::kFreeLoginTries; ++i) {
    EXPECT_EQ(app::Login("0", "wrong"), LoginResult::kRefused);
  }
  EXPECT_EQ(AuditRows(store::kAuditLoginFailed), app::kFreeLoginTries);
  // The right password is not even checked while the account waits.
  EXPECT_EQ(app::Login("0", "0"), LoginResult::kThrottled);
  EXPECT_EQ(app::LoginWaitSeconds("0"), 30);
  // Another account is not held up.
  app::SaveOperator({"7", "李四", "abc", app::kCashierDuty});
  EXPECT_EQ(app::Login("7", "abc"), LoginResult::kAccepted);

  // A restart reads the count from kasso.db again.
  kasso::SetFixedClock(kasso::MakeTime(2026, 3, 1, 9, 0, 20));
  store::PrepareDatabase(store::DatabasePath());
  EXPECT_EQ(app::LoginWaitSeconds("0"), 10);
  EXPECT_EQ(app::Login("0", "0"), LoginResult::kThrottled);

  kasso::SetFixedClock(kasso::MakeTime(2026, 3, 1, 9, 0, 30));
  EXPECT_EQ(app::LoginWaitSeconds("0"), 0);
  EXPECT_EQ(app::Login("0", "wrong"), LoginResult::kRefused);  // waits again at once
  EXPECT_EQ(app::Login("0", "0"), LoginResult::kThrottled);
  kasso::SetFixedClock(kasso::MakeTime(2026, 3, 1, 9, 1, 0));
  EXPECT_EQ(app::Login("0", "0"), LoginResult::kAccepted);
  EXPECT_EQ(Count("select count(*) from loginthrottle where workno = '0'"), 0);
}

TEST_F(SecurityTest, EveryFileTheTillMakesIsTheOwnersAloneUnderAPermissiveUmask) {
  const mode_t previous = ::umask(0);
  const fs::path shop = dir() / "shop" / "data";
  store::CreatePrivateFolders(shop);
  store::SetDataDirectory(shop);
  store::CreateNewDatabase(store::DatabasePath());
  std::optional<app::DataFolderLock> lock;
  ASSERT_EQ(app::DataFolderLock::Take(shop, lock), app::DataFolderLock::Outcome::kTaken);
  {
    store::Database db;
    store::Transaction tx(db);
    db.Exec("update management set welcome = 'x'");
    EXPECT_EQ(ModeOf(shop / "kasso.db-journal"), 0600u);
  }
  const fs::path backup = app::WriteAutomaticBackup();
  Open().Exec("insert into membermaster (memberid,membername) values ('M1','张三')");
  backoffice::ExportMembersText(dir() / "members.txt");
  const fs::path safety = app::ClearData({app::ClearGroup::kSales});
  const fs::path kept = app::RestoreDatabaseFrom(backup);
  ::umask(previous);

  EXPECT_EQ(ModeOf(dir() / "shop"), 0700u);
  EXPECT_EQ(ModeOf(shop), 0700u);
  EXPECT_EQ(ModeOf(shop / "backup"), 0700u);
  for (const fs::path& file :
       {shop / "kasso.db", shop / "kasso.lock", backup, dir() / "members.txt", safety, kept}) {
    EXPECT_EQ(ModeOf(file), 0600u) << file;
  }

  // A folder an older version left open is narrowed at start.
  fs::permissions(shop, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(shop / "kasso.db", fs::perms::owner_read | fs::perms::owner_write |
                                         fs::perms::group_read | fs::perms::others_read);
  fs::permissions(backup, fs::perms::owner_read | fs::perms::others_read);
  store::NarrowDataFolder(shop);
  EXPECT_EQ(ModeOf(shop), 0700u);
  EXPECT_EQ(ModeOf(shop / "kasso.db"), 0600u);
  EXPECT_EQ(ModeOf(backup), 0400u);
  store::SetDataDirectory(dir());
}

TEST_F(SecurityTest, AnAuditRowIsKeptExactlyWhenItsActionIs) {
  {
    store::Database db = Open();
    store::Transaction tx(db);
    store::WriteAudit(db, {"0", store::kAuditPettyCash, "x", 0});
  }
  EXPECT_EQ(AuditRows(store::kAuditPettyCash), 0);

  // A refund whose member cannot be credited rolls back, audit row and all.
  Open().Exec(
      "insert into goodsmaster (barcode,goodsname,salesprice,iscombined) values "
      "('6901','奶',2,'否')");
  Open().Exec("insert into inventory (barcode,quantity) values ('6901',0)");
  sale::CurrentSale refund;
  refund.workno = "0";
  sale::SaleLine line;
  line[sale::kBarcode] = "6901";
  line[sale::kQuantity] = "-1.00";
  line[sale::kPrice] = "2.00";
  line[sale::kSalesPrice] = "2.00";
  line[sale::kAmount] = "-2.00";
  line[sale::kRate] = "1.00";
  refund.lines = {line};
  refund.member_id = "nobody";
  {
    store::Database db = Open();
    store::Transaction tx(db);
    EXPECT_THROW(sale::WriteSale(db, refund, {}), kasso::UserError);
  }
  EXPECT_EQ(AuditRows(store::kAuditRefund), 0);
  EXPECT_EQ(Count("select count(*) from transactiondetails"), 0);
  refund.member_id.clear();
  {
    store::Database db = Open();
    store::Transaction tx(db);
    const std::int64_t number = sale::WriteSale(db, refund, {});
    tx.Commit();
    EXPECT_EQ(Count("select count(*) from auditlog where action = ? and transactionnumber = ?",
                    std::string(store::kAuditRefund), number),
              1);
  }

  // Petty cash refused for lack of cash leaves none; booked, exactly one.
  EXPECT_FALSE(sale::BookPettyCash(-50, "0").booked);
  EXPECT_EQ(AuditRows(store::kAuditPettyCash), 0);
  EXPECT_TRUE(sale::BookPettyCash(50, "0").booked);
  EXPECT_EQ(AuditRows(store::kAuditPettyCash), 1);

  // A data clear keeps the trail and records itself.
  app::ClearData({app::ClearGroup::kSales}, {}, "0");
  EXPECT_EQ(AuditRows(store::kAuditPettyCash), 1);
  EXPECT_EQ(AuditRows(store::kAuditDataClear), 1);
}

TEST_F(SecurityTest, TheOperationLogFiltersByRangeAccountAndActionAndCountsItsRows) {
  auto write = [&](int day, const char* workno, const char* action) {
    kasso::SetFixedClock(kasso::MakeTime(2026, 3, day, 12, 0, 0));
    store::WriteAudit({workno, action, "d", 0});
  };
  write(1, "0", store::kAuditLineRemoved);
  write(2, "0", store::kAuditLineRemoved);
  write(2, "7", store::kAuditLineRemoved);
  write(2, "7", store::kAuditDrawerOpened);
  write(3, "7", store::kAuditDrawerOpened);
  const reports::DateRange days_2 = reports::MakeDateRange({2026, 3, 2}, {2026, 3, 2});

  reports::QueryResult all = reports::AuditLogQuery(days_2, {});
  EXPECT_EQ(all.ResultRows(), 3u);
  EXPECT_EQ(all.Text(3, 2), "共 3 条");
  reports::QueryResult seven = reports::AuditLogQuery(days_2, {"7", std::nullopt});
  EXPECT_EQ(seven.Text(2, 2), "共 2 条");
  reports::QueryResult drawer =
      reports::AuditLogQuery(reports::MakeDateRange({2026, 3, 1}, {2026, 3, 3}),
                             {std::nullopt, store::kAuditDrawerOpened});
  EXPECT_EQ(drawer.ResultRows(), 2u);
  EXPECT_EQ(drawer.Text(0, 1), "7");
  EXPECT_EQ(drawer.Text(2, 2), "共 2 条");
}

TEST_F(SecurityTest, TheIdleLockMinutesAreASettingSavedWithItsAuditRow) {
  store::Database db = Open();
  settings::Settings settings = settings::LoadSettings(db);
  EXPECT_EQ(settings.idle_lock_minutes, 10);
  settings.idle_lock_minutes = 0;
  devices::SaveCheckedSettings(settings, "0");
  EXPECT_EQ(settings::LoadSettings(db).idle_lock_minutes, 0);
  EXPECT_EQ(AuditRows(store::kAuditSettingsSaved), 1);
  settings.idle_lock_minutes = -1;
  EXPECT_EQ(testing_support::RefusalOf([&] { devices::SaveCheckedSettings(settings, "0"); }).field,
            "idlelockminutes");
}

}  // namespace
