#pragma once

#include <sqlite3.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace app {

// How many automatic backups are kept in backup/; older ones are removed, newest first kept.
inline constexpr int kKeptAutomaticBackups = 30;

// "备份" + "%Y%m%d%H%M%S" + ".dat".
std::string DefaultBackupName(const std::tm& time);

// The name the target-file chooser proposes for a caller's format and purpose: "excel" gives
// purpose + time + ".xlsx" (the workbooks the till writes); otherwise "数据" gives the backup name, "标签" purpose + time + ".db"
// and anything else purpose + time + ".txt".
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

// The folder of automatic backups: backup/ beside kasso.db.
std::filesystem::path BackupFolder();

// Copies kasso.db into the backup folder under the default name and prunes old copies.
// Returns the path written.
std::filesystem::path WriteAutomaticBackup();

// The backup clock fires at minute 0 of the even hours.
bool IsBackupTime(const std::tm& time);

}  // namespace app
