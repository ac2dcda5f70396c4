#pragma once

#include <sqlite3.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace app {

// The automatic backup keeps every copy it wrote in the last 48 hours and the newest copy of
// each of the last 90 days (today counts as the first).
inline constexpr int kKeepEveryCopyHours = 48;
inline constexpr int kKeepDailyCopyDays = 90;

// "备份" + "%Y%m%d%H%M%S" + ".dat".
std::string DefaultBackupName(const std::tm& time);

// "自动备份" + "%Y%m%d%H%M%S" + ".dat": the automatic backup's own name. Only files named so are
// ever removed by it; copies saved by hand, before a clear or before a restore are kept.
std::string AutomaticBackupName(const std::tm& time);

// The name the target-file chooser proposes for a caller's format and purpose: "excel" gives
// purpose + time + ".xlsx" (the workbooks the till writes), "pdf" purpose + time + ".pdf" (printing
// to a file); otherwise "数据" gives the backup name,
// "标签" purpose + time + ".db" and anything else purpose + time + ".txt".
std::string DefaultFileName(const std::string& format, const std::string& purpose,
                            const std::tm& time);

// Told how far a copy has come (pages copied of all pages); returning false stops the copy.
using CopyProgress = std::function<bool(int copied, int total)>;

// The person stopped a copy through its progress; nothing was written under the target name.
class CopyCancelled : public std::runtime_error {
 public:
  CopyCancelled() : std::runtime_error("copy cancelled") {}
};

// Copies every page of the open source database into the open target database, in steps so
// that progress can be shown and the copy stopped. Throws store::DbError or CopyCancelled;
// the target then holds whatever the caller must throw away.
void CopyPages(sqlite3* source, sqlite3* target, const CopyProgress& progress = {});

// Writes a consistent copy of kasso.db to target. The copy is made beside the target and
// renamed over it only when complete, so a failure never leaves a partial file under that
// name. Throws store::DbError, CopyCancelled or std::filesystem::filesystem_error.
void CopyDatabaseTo(const std::filesystem::path& target, const CopyProgress& progress = {});

// A backup the person asked for or the clock made: the copy as CopyDatabaseTo writes it, and
// the audit row naming the actor and the file, kept only when the copy is complete (the row is
// written first, in a transaction that commits after the copy, so the copy never holds it).
void BackUpDatabaseTo(const std::filesystem::path& target, const std::string& actor,
                      const CopyProgress& progress = {});

// The folder of automatic backups: backup/ beside kasso.db.
std::filesystem::path BackupFolder();

// Copies kasso.db into the backup folder under the automatic name, then prunes the automatic
// copies by the rule above. Returns the path written.
std::filesystem::path WriteAutomaticBackup();

// Removes from the backup folder the automatic copies that the rule no longer keeps at the
// given time. Copies stamped later than now (a clock set back) are kept.
void PruneAutomaticBackups(const std::tm& now);

// The backup clock fires at minute 0 of the even hours.
bool IsBackupTime(const std::tm& time);

}  // namespace app
