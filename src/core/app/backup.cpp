#include "core/app/backup.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "core/common/clock.h"
#include "core/store/audit.h"
#include "core/store/database.h"
#include "core/store/private_files.h"

namespace app {
namespace fs = std::filesystem;

namespace {

// About a megabyte per step at the usual page size: small enough for a lively progress bar,
// large enough that a small file is copied in one step.
constexpr int kPagesPerStep = 256;

constexpr std::string_view kAutomaticPrefix = "自动备份";

// Seconds of a local time counted as if it were UTC: differences come out in plain hours and
// days, whatever the time zone.
std::int64_t Seconds(std::tm time) { return static_cast<std::int64_t>(timegm(&time)); }

std::int64_t DayNumber(const std::tm& time) {
  std::tm midnight = time;
  midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
  return Seconds(midnight) / 86400;
}

// The time stamped into an automatic copy's name; nullopt for any other file.
std::optional<std::tm> AutomaticStamp(const std::string& name) {
  constexpr std::string_view kSuffix = ".dat";
  if (name.size() != kAutomaticPrefix.size() + 14 + kSuffix.size() ||
      !name.starts_with(kAutomaticPrefix) || !name.ends_with(kSuffix)) {
    return std::nullopt;
  }
  std::string digits = name.substr(kAutomaticPrefix.size(), 14);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  auto part = [&](size_t at, size_t length) { return std::stoi(digits.substr(at, length)); };
  return kasso::MakeTime(part(0, 4), part(4, 2), part(6, 2), part(8, 2), part(10, 2), part(12, 2));
}

}  // namespace

std::string DefaultBackupName(const std::tm& time) {
  return "备份" + kasso::FormatTime(time, "%Y%m%d%H%M%S") + ".dat";
}

std::string AutomaticBackupName(const std::tm& time) {
  return std::string(kAutomaticPrefix) + kasso::FormatTime(time, "%Y%m%d%H%M%S") + ".dat";
}

std::string DefaultFileName(const std::string& format, const std::string& purpose,
                            const std::tm& time) {
  std::string stamp = kasso::FormatTime(time, "%Y%m%d%H%M%S");
  if (format == "excel") return purpose + stamp + ".xlsx";
  if (format == "pdf") return purpose + stamp + ".pdf";
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

void BackUpDatabaseTo(const fs::path& target, const std::string& actor,
                      const CopyProgress& progress) {
  store::Database db;
  store::Transaction tx(db);
  store::WriteAudit(db, {actor, store::kAuditBackup, target.string(), 0});
  CopyDatabaseTo(target, progress);
  tx.Commit();
}

fs::path BackupFolder() { return store::DataDirectory() / "backup"; }

fs::path WriteAutomaticBackup() {
  fs::path folder = BackupFolder();
  store::CreatePrivateFolders(folder);
  std::tm now = kasso::Now();
  fs::path target = folder / AutomaticBackupName(now);
  BackUpDatabaseTo(target, {});
  PruneAutomaticBackups(now);
  return target;
}

void PruneAutomaticBackups(const std::tm& now) {
  struct Copy {
    fs::path path;
    std::int64_t seconds;
    std::int64_t day;
  };
  std::vector<Copy> copies;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(BackupFolder(), error)) {
    if (!entry.is_regular_file()) continue;
    if (auto stamp = AutomaticStamp(entry.path().filename().string())) {
      copies.push_back({entry.path(), Seconds(*stamp), DayNumber(*stamp)});
    }
  }
  // Newest first, so the first copy met of each day is that day's newest.
  std::sort(copies.begin(), copies.end(),
            [](const Copy& a, const Copy& b) { return a.seconds > b.seconds; });
  const std::int64_t now_seconds = Seconds(now);
  const std::int64_t today = DayNumber(now);
  std::int64_t last_day_seen = std::numeric_limits<std::int64_t>::max();
  for (const Copy& copy : copies) {
    bool recent = now_seconds - copy.seconds <= std::int64_t{kKeepEveryCopyHours} * 3600;
    bool newest_of_its_day = copy.day != last_day_seen;
    if (newest_of_its_day) last_day_seen = copy.day;
    if (recent || (newest_of_its_day && today - copy.day < kKeepDailyCopyDays)) continue;
    std::error_code ignored;
    fs::remove(copy.path, ignored);
  }
}

bool IsBackupTime(const std::tm& time) { return time.tm_hour % 2 == 0 && time.tm_min == 0; }

}  // namespace app
