#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/login.h"
#include "core/store/file_check.h"

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

// What the start-up tells or asks the person before the login dialog opens.
class StartupUi {
 public:
  virtual ~StartupUi() = default;
  // A box titled "确认".
  virtual void Message(std::string_view text) = 0;
  // A box without a title.
  virtual void Notice(std::string_view text) = 0;
  // A Yes/No question titled "确认"; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
};

// The program's start before the login: one running copy per machine and per data folder,
// kasso.db found (created only when the person says so) and brought up to date, the module
// locks of an earlier run emptied and the printer port prepared. The data folder stays locked
// for as long as the object lives.
class Startup {
 public:
  using ProcessNameSource = std::function<std::optional<std::vector<std::string>>()>;

  explicit Startup(ProcessNameSource process_names = &RunningProcessNames);

  // Runs the start-up; nullopt when the login dialog may open, otherwise the exit code the
  // program ends with. A damaged or read-only kasso.db is left as it is, so that a restore
  // from the login dialog can mend it.
  std::optional<int> Run(StartupUi& ui);

 private:
  // Takes the data folder's lock; false after telling that another copy holds it.
  bool TakeFolderLock(StartupUi& ui);
  // Finds, creates on request and upgrades kasso.db; an exit code when the program must end.
  std::optional<int> PrepareDataFile(StartupUi& ui);

  ProcessNameSource process_names_;
  std::optional<DataFolderLock> folder_lock_;
  store::FileState data_state_ = store::FileState::kMissing;
};

// One tick of the automatic-backup clock, which ticks every minute: at minute 0 of the even
// hours it writes the automatic backup. Throws what the backup throws.
void TickBackupClock(const std::tm& now);

bool CheckAuthorization(const std::string& password);

}  // namespace app
