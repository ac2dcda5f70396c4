#pragma once

#include <string>

namespace app {

enum class LoginResult { kAccepted, kRefused, kThrottled, kNoDatabase, kDamaged, kReadOnly };

// Why the till cannot work with kasso.db, told at every login attempt until a restore mends it.
inline constexpr const char* kDamagedDatabaseText = "数据库文件损坏，请用数据恢复恢复备份";
inline constexpr const char* kReadOnlyDatabaseText = "数据库文件只读";

// Wrong passwords an account may type in a row before each further try waits.
inline constexpr int kFreeLoginTries = 5;
inline constexpr int kLoginWaitSeconds = 30;

// Checks the account and password (exact, case-sensitive; an account without a stored
// password never logs in). kNoDatabase when kasso.db is missing or cannot be read, in which
// case the login dialog does nothing; kDamaged or kReadOnly when the file is there but the
// till cannot work with it. The file is judged afresh at every attempt, so a restore mends
// the login at once.
//
// A password kept as typed by an older version is accepted once and replaced by its hash in
// the same transaction. A wrong password changes nothing of the account: it counts against
// the account and is recorded in the audit trail. After kFreeLoginTries wrong ones in a row
// every try waits kLoginWaitSeconds after the last (kThrottled, the password unchecked); the
// count lives in kasso.db, so a restart does not reset it, and a right password clears it.
LoginResult Login(const std::string& account, const std::string& password);

// Seconds the account must still wait before its next try; 0 when it may try now (also when
// kasso.db cannot be read).
int LoginWaitSeconds(const std::string& account);

// Unlocks a cashier screen that locked itself: the logged-in cashier's own password, or any
// manager's account and password. Throttled and recorded as a login is.
LoginResult UnlockTill(const std::string& cashier, const std::string& account,
                       const std::string& password);

// Account "0" gets password "0" and duty "经理", and every duty gets the rights-administration
// right. Throws store::DbError when the file cannot be opened.
void ResetAccountZero();

}  // namespace app
