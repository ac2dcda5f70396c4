#include "core/app/startup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <fstream>
#include <utility>

#include "core/app/backup.h"
#include "core/devices/cash_drawer.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"
#include "core/store/file_check.h"
#include "core/store/private_files.h"
#include "core/store/schema.h"

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
  int fd = ::open((folder / kFolderLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
                  store::kOwnerOnlyFileMode);
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

namespace {

constexpr const char* kAnotherCopyText = "已有相同程序运行";

std::string ShownPath(const fs::path& file) { return fs::absolute(file).lexically_normal(); }

std::string CannotOpenText(const fs::path& file, const std::exception& error) {
  return "数据库文件 " + ShownPath(file) + " 无法创建或打开：\n" + error.what();
}

}  // namespace

Startup::Startup(ProcessNameSource process_names) : process_names_(std::move(process_names)) {}

std::optional<int> Startup::Run(StartupUi& ui) {
  std::optional<std::vector<std::string>> processes = process_names_();
  if (!processes) return 1;
  if (!IsSingleInstance(*processes)) {
    ui.Notice(kAnotherCopyText);
    return 1;
  }
  if (std::optional<int> exit_code = PrepareDataFile(ui)) return exit_code;
  // A file the till cannot use is not touched until a restore replaces it.
  if (data_state_ == store::FileState::kReady) {
    ClearLockProcess();
    SetUpPrinterPort();
  }
  return std::nullopt;
}

bool Startup::TakeFolderLock(StartupUi& ui) {
  // A folder that cannot hold the lock file (read-only) cannot be written by a second copy
  // either; the till still opens, so that its data can be restored elsewhere.
  if (DataFolderLock::Take(store::DataDirectory(), folder_lock_) ==
      DataFolderLock::Outcome::kHeldElsewhere) {
    ui.Notice(kAnotherCopyText);
    return false;
  }
  return true;
}

std::optional<int> Startup::PrepareDataFile(StartupUi& ui) {
  const fs::path file = store::DatabasePath();
  // An older version left the folder and its files readable by every user.
  store::NarrowDataFolder(store::DataDirectory());
  try {
    if (store::InspectDatabaseFile(file) == store::FileState::kMissing) {
      // A till started in the wrong folder, or before its data disk is mounted, must not
      // start selling into a new file unasked.
      if (!ui.AskYesNo("没有找到数据库 " + ShownPath(file) + "，是否新建空白数据库?")) return 0;
      store::CreatePrivateFolders(store::DataDirectory());
    }
  } catch (const std::exception& error) {
    ui.Message(CannotOpenText(file, error));
    return 1;
  }
  if (!TakeFolderLock(ui)) return 1;
  try {
    if (store::InspectDatabaseFile(file) == store::FileState::kMissing) {
      store::CreateNewDatabase(file);
    }
  } catch (const std::exception& error) {
    ui.Message(CannotOpenText(file, error));
    return 1;
  }
  try {
    data_state_ = store::PrepareDatabase(file);
  } catch (const store::DbError& error) {
    ui.Message("数据库文件 " + ShownPath(file) + " 升级失败，文件未改动：" +
               store::DescribeFailure(error) + "\n" + error.what());
    return 1;
  }
  return std::nullopt;
}

void TickBackupClock(const std::tm& now) {
  if (IsBackupTime(now)) WriteAutomaticBackup();
}

bool CheckAuthorization(const std::string& password) { return password == kAuthorizationPassword; }

}  // namespace app
