#include "app/backup.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

#include "common/clock.h"
#include "store/database.h"

namespace app {
namespace fs = std::filesystem;

std::string DefaultBackupName(const std::tm& time) {
  return "备份" + kasso::FormatTime(time, "%Y%m%d%H%M%S") + ".dat";
}

void CopyDatabaseTo(const fs::path& target) {
  fs::path partial = target;
  partial += ".part";
  std::error_code ignored;
  fs::remove(partial, ignored);
  try {
    {
      store::Database source;
      store::Database copy(partial, store::OpenMode::kCreate);
      // SQLite's online backup copies a consistent snapshot even while others read.
      sqlite3_backup* backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
      if (!backup) throw store::DbError(sqlite3_errmsg(copy.handle()));
      int rc = sqlite3_backup_step(backup, -1);
      sqlite3_backup_finish(backup);
      if (rc != SQLITE_DONE) throw store::DbError(sqlite3_errstr(rc));
    }
    fs::rename(partial, target);
  } catch (...) {
    fs::remove(partial, ignored);
    throw;
  }
}

fs::path BackupFolder() { return store::DataDirectory() / "backup"; }

fs::path WriteAutomaticBackup() {
  fs::path folder = BackupFolder();
  fs::create_directories(folder);
  fs::path target = folder / DefaultBackupName(kasso::Now());
  CopyDatabaseTo(target);

  // The names carry their time stamp, so name order is age order.
  std::vector<fs::path> copies;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name.starts_with("备份") && name.ends_with(".dat")) {
      copies.push_back(entry.path());
    }
  }
  std::sort(copies.begin(), copies.end());
  std::error_code ignored;
  for (size_t i = 0; i + kKeptAutomaticBackups < copies.size(); ++i) {
    fs::remove(copies[i], ignored);
  }
  return target;
}

bool IsBackupTime(const std::tm& time) { return time.tm_hour % 2 == 0 && time.tm_min == 0; }

}  // namespace app
