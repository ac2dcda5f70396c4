#include "core/app/backup.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

#include "core/common/clock.h"
#include "core/store/database.h"

namespace app {
namespace fs = std::filesystem;

namespace {

// About a megabyte per step at the usual page size: small enough for a lively progress bar,
// large enough that a small file is copied in one step.
constexpr int kPagesPerStep = 256;

}  // namespace

std::string DefaultBackupName(const std::tm& time) {
  return "备份" + kasso::FormatTime(time, "%Y%m%d%H%M%S") + ".dat";
}

std::string DefaultFileName(const std::string& format, const std::string& purpose,
                            const std::tm& time) {
  std::string stamp = kasso::FormatTime(time, "%Y%m%d%H%M%S");
  if (format == "excel") return purpose + stamp + ".xlsx";
  if (purpose == "数据") return DefaultBackupName(time);
  if (purpose == "标签") return purpose + stamp + ".db";
  return purpose + stamp + ".txt";
}

void CopyPages(sqlite3* source, sqlite3* target, const CopyProgress& progress) {
  // SQLite's online backup copies a consistent snapshot even while others read.
  sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
  if (!backup) throw store::DbError(sqlite3_errmsg(target));
  int rc = SQLITE_OK;
  while (rc == SQLITE_OK) {
    rc = sqlite3_backup_step(backup, kPagesPerStep);
    if (!progress || (rc != SQLITE_OK && rc != SQLITE_DONE)) continue;
    int total = sqlite3_backup_pagecount(backup);
    bool go_on = progress(total - sqlite3_backup_remaining(backup), total);
    // A stop that comes with the last page is too late: the copy is complete.
    if (!go_on && rc == SQLITE_OK) {
      sqlite3_backup_finish(backup);
      throw CopyCancelled();
    }
  }
  int finished = sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) throw store::DbError(sqlite3_errstr(rc));
  if (finished != SQLITE_OK) throw store::DbError(sqlite3_errmsg(target));
}

void CopyDatabaseTo(const fs::path& target, const CopyProgress& progress) {
  fs::path partial = target;
  partial += ".part";
  std::error_code ignored;
  fs::remove(partial, ignored);
  try {
    {
      store::Database source;
      store::Database copy(partial, store::OpenMode::kCreate);
      CopyPages(source.handle(), copy.handle(), progress);
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
