#include "core/app/startup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "core/devices/cash_drawer.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"
#include "core/store/file_check.h"

namespace app {
namespace fs = std::filesystem;

std::optional<std::vector<std::string>> RunningProcessNames() {
  std::error_code error;
  fs::directory_iterator proc("/proc", error);
  if (error) return std::nullopt;
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : proc) {
    std::string pid = entry.path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
    // comm holds the executable's name (cut to 15 bytes, which keeps "Tillwise" whole).
    std::ifstream comm(entry.path() / "comm");
    std::string name;
    if (comm && std::getline(comm, name)) names.push_back(name);
  }
  return names;
}

bool IsSingleInstance(const std::vector<std::string>& process_names) {
  auto copies = std::count_if(process_names.begin(), process_names.end(), [](const auto& name) {
    return name.find(kProgramName) != std::string::npos;
  });
  return copies < 2;
}

bool CheckSingleInstance() {
  auto names = RunningProcessNames();
  return names && IsSingleInstance(*names);
}

DataFolderLock::Outcome DataFolderLock::Take(const fs::path& folder,
                                             std::optional<DataFolderLock>& lock) {
  lock.reset();
  int fd = ::open((folder / kFolderLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return Outcome::kUnavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held ? Outcome::kHeldElsewhere : Outcome::kUnavailable;
  }
  lock.emplace(DataFolderLock(fd));
  return Outcome::kTaken;
}

DataFolderLock::DataFolderLock(DataFolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

DataFolderLock& DataFolderLock::operator=(DataFolderLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

DataFolderLock::~DataFolderLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the file releases the lock
}

void ClearLockProcess() {
  try {
    store::Database db;
    db.Exec("delete from lockprocess");
  } catch (const store::DbError&) {
  }
}

void SetUpPrinterPort() { devices::SetUpPrinterPort(); }

LoginResult Login(const std::string& account, const std::string& password) {
  try {
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
    store::Database db;
    store::Statement stored =
        db.Query("select operatorpassword from operatormaster where workno = ?", account);
    // An account without a stored password has none to match, not an empty one.
    bool match = stored.Step() && !stored.IsNull(0) && stored.Text(0) == password;
    return match ? LoginResult::kAccepted : LoginResult::kRefused;
  } catch (const store::DbError&) {
    return LoginResult::kNoDatabase;
  }
}

bool CheckAuthorization(const std::string& password) { return password == kAuthorizationPassword; }

void ResetAccountZero() {
  store::Database db;
  store::Transaction tx(db);
  // Account "0" must exist after a reset, or the login hint would point at nothing.
  if (db.Exec("update operatormaster set operatorpassword = '0', operatorduty = '经理' "
              "where workno = '0'") == 0) {
    db.Exec(
        "insert into operatormaster (workno,operatorname,operatorpassword,operatorduty) "
        "values ('0','管理员','0','经理')");
  }
  // Likewise the manager duty needs a rights row for the reset to give it anything.
  if (!db.HasRow("select 1 from dutyrights where operatorduty = '经理'")) {
    db.Exec(
        "insert into dutyrights (operatorduty,sales,operator,dutyrights,discount,settings,"
        "member,inventory,inquiry,dataclear,baseinfo,openmoneybox,pointsreturn) "
        "values ('经理',1,1,1,1,1,1,1,1,1,1,1,1)");
  }
  db.Exec("update dutyrights set dutyrights = 1");
  tx.Commit();
}

}  // namespace app
