#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

// The fixed password in front of restore, account reset and data clearing.
inline constexpr const char* kAuthorizationPassword = "qorvanep";

// The text that marks this program's processes.
inline constexpr const char* kProgramName = "Tillwise";

// Executable names of all running processes, read from /proc; nullopt when the list
// cannot be read.
std::optional<std::vector<std::string>> RunningProcessNames();

// True when at most one of the named processes contains "Tillwise" (case-sensitive).
bool IsSingleInstance(const std::vector<std::string>& process_names);

// The start-up check: false when another copy runs or the process list cannot be read.
bool CheckSingleInstance();

// The lock file in the data folder that one running till holds for its whole life.
inline constexpr const char* kFolderLockName = "kasso.lock";

// An operating-system lock (flock) on the data folder's lock file, released when the object
// goes. It keeps a second copy of the program away from kasso.db whatever that copy's file
// is called, and ends with the process however the process ends.
class DataFolderLock {
 public:
  enum class Outcome { kTaken, kHeldElsewhere, kUnavailable };

  // Takes the lock of the folder. kHeldElsewhere when another process holds it;
  // kUnavailable when the lock file cannot be made (a missing or read-only folder).
  static Outcome Take(const std::filesystem::path& folder, std::optional<DataFolderLock>& lock);

  DataFolderLock(DataFolderLock&& other) noexcept;
  DataFolderLock& operator=(DataFolderLock&& other) noexcept;
  DataFolderLock(const DataFolderLock&) = delete;
  DataFolderLock& operator=(const DataFolderLock&) = delete;
  ~DataFolderLock();

 private:
  explicit DataFolderLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// Empties lockprocess; an unreadable file is ignored.
void ClearLockProcess();

// Prepares the receipt printer's serial port (9600 8N1); failures are ignored.
void SetUpPrinterPort();

enum class LoginResult { kAccepted, kRefused, kNoDatabase, kDamaged, kReadOnly };

// Why the till cannot work with kasso.db, told at every login attempt until a restore mends it.
inline constexpr const char* kDamagedDatabaseText = "数据库文件损坏，请用数据恢复恢复备份";
inline constexpr const char* kReadOnlyDatabaseText = "数据库文件只读";

// Checks the account and password (exact, case-sensitive; an account without a stored
// password never logs in). kNoDatabase when kasso.db is missing or cannot be read, in which
// case the login dialog does nothing; kDamaged or kReadOnly when the file is there but the
// till cannot work with it. The file is judged afresh at every attempt, so a restore mends
// the login at once.
LoginResult Login(const std::string& account, const std::string& password);

bool CheckAuthorization(const std::string& password);

// Account "0" gets password "0" and duty "经理", and every duty gets the rights-administration
// right. Throws store::DbError when the file cannot be opened.
void ResetAccountZero();

}  // namespace app
