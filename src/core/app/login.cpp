#include "core/app/login.h"

#include <ctime>
#include <optional>

#include "core/app/accounts.h"
#include "core/common/clock.h"
#include "core/common/password.h"
#include "core/store/audit.h"
#include "core/store/database.h"
#include "core/store/file_check.h"
#include "core/store/sharing.h"

namespace app {
namespace {

// Seconds of a local time counted as if it were UTC, so differences come out plain.
std::int64_t Seconds(std::tm time) { return static_cast<std::int64_t>(timegm(&time)); }

std::optional<std::int64_t> SecondsOf(const std::string& text) {
  std::tm time{};
  const char* end = strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &time);
  if (!end || *end != '\0') return std::nullopt;
  return Seconds(time);
}

int WaitSeconds(store::Database& db, const std::string& account) {
  store::Statement row =
      db.Query("select failures,lastfailure from loginthrottle where workno = ?", account);
  if (!row.Step() || row.Int(0) < kFreeLoginTries) return 0;
  std::optional<std::int64_t> last = SecondsOf(row.Text(1));
  // A time that cannot be read (or lies in the future after the clock was put back) waits
  // in full from now on rather than letting tries through.
  const std::int64_t now = Seconds(common::Now());
  if (!last || *last > now) return kLoginWaitSeconds;
  const std::int64_t left = *last + kLoginWaitSeconds - now;
  return left > 0 ? static_cast<int>(left) : 0;
}

// Counts a wrong password against the account and records it, in one transaction.
void RecordFailure(store::Database& db, const std::string& account, const char* where) {
  store::Transaction tx(db);
  const std::string now = common::NowText();
  if (db.Exec("update loginthrottle set failures = failures + 1,lastfailure = ? where workno = ?",
              now, account) == 0) {
    db.Exec("insert into loginthrottle (workno,failures,lastfailure) values (?,1,?)", account, now);
  }
  store::WriteAudit(db, {account, store::kAuditLoginFailed, where, 0});
  tx.Commit();
}

// The shared check of the login and the screen lock, over a file known to be usable.
LoginResult CheckPassword(store::Database& db, const std::string& account,
                          const std::string& password, bool managers_only_besides,
                          const std::string& cashier, const char* where) {
  if (WaitSeconds(db, account) > 0) return LoginResult::kThrottled;
  bool match = false;
  {
    store::Transaction tx(db);
    store::Statement stored = db.Query(
        "select operatorpassword,operatorduty from operatormaster where workno = ?", account);
    // An account without a stored password has none to match, not an empty one.
    if (stored.Step() && !stored.IsNull(0)) {
      const std::string kept = stored.Text(0);
      const bool allowed =
          !managers_only_besides || account == cashier || stored.Text(1) == kManagerDuty;
      match = allowed && common::PasswordMatches(kept, password);
      if (match && !common::IsPasswordHash(kept)) {
        // The hash is this till's own: logging in never waits for the shop server.
        store::LocalOnly local(db);
        db.Exec("update operatormaster set operatorpassword = ? where workno = ?",
                common::HashPassword(password), account);
      }
    }
    if (match) {
      db.Exec("delete from loginthrottle where workno = ?", account);
      tx.Commit();
    }
  }
  if (match) return LoginResult::kAccepted;
  try {
    RecordFailure(db, account, where);
  } catch (const store::DbError&) {
    // The refusal stands even when the disk will not take the count.
  }
  return LoginResult::kRefused;
}

// kAccepted when the file can be used; otherwise why not.
LoginResult FileState() {
  switch (store::InspectDatabaseFile(store::DatabasePath())) {
    case store::FileState::kMissing:
      return LoginResult::kNoDatabase;
    case store::FileState::kDamaged:
      return LoginResult::kDamaged;
    case store::FileState::kReadOnly:
      return LoginResult::kReadOnly;
    case store::FileState::kReady:
      break;
  }
  return LoginResult::kAccepted;
}

}  // namespace

LoginResult Login(const std::string& account, const std::string& password) {
  try {
    if (LoginResult state = FileState(); state != LoginResult::kAccepted) return state;
    store::Database db;
    return CheckPassword(db, account, password, false, {}, "登录");
  } catch (const store::DbError&) {
    return LoginResult::kNoDatabase;
  }
}

LoginResult UnlockTill(const std::string& cashier, const std::string& account,
                       const std::string& password) {
  try {
    if (LoginResult state = FileState(); state != LoginResult::kAccepted) return state;
    store::Database db;
    return CheckPassword(db, account, password, true, cashier, "解锁");
  } catch (const store::DbError&) {
    return LoginResult::kNoDatabase;
  }
}

int LoginWaitSeconds(const std::string& account) {
  try {
    store::Database db;
    return WaitSeconds(db, account);
  } catch (const store::DbError&) {
    return 0;
  }
}

void ResetAccountZero() {
  store::Database db;
  store::Transaction tx(db);
  // The way back into a locked-out till works without the shop server.
  store::LocalOnly local(db);
  // Account "0" must exist after a reset, or the login hint would point at nothing.
  if (db.Exec("update operatormaster set operatorpassword = ?, operatorduty = '经理' "
              "where workno = '0'",
              common::kDefaultPasswordHash) == 0) {
    db.Exec(
        "insert into operatormaster (workno,operatorname,operatorpassword,operatorduty) "
        "values ('0','管理员',?,'经理')",
        common::kDefaultPasswordHash);
  }
  // Likewise the manager duty needs a rights row for the reset to give it anything.
  if (!db.HasRow("select 1 from dutyrights where operatorduty = '经理'")) {
    db.Exec(
        "insert into dutyrights (operatorduty,sales,operator,dutyrights,discount,settings,"
        "member,inventory,inquiry,dataclear,baseinfo,openmoneybox,pointsreturn) "
        "values ('经理',1,1,1,1,1,1,1,1,1,1,1,1)");
  }
  db.Exec("update dutyrights set dutyrights = 1");
  // The reset itself clears any wait on the account it restores.
  db.Exec("delete from loginthrottle where workno = '0'");
  store::WriteAudit(db, {"", store::kAuditAccountChanged, "0账号密码重置", 0});
  tx.Commit();
}

}  // namespace app
