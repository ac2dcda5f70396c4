#pragma once

#include <ctime>
#include <filesystem>
#include <string>

namespace app {

// How many automatic backups are kept in backup/; older ones are removed, newest first kept.
inline constexpr int kKeptAutomaticBackups = 30;

// "备份" + "%Y%m%d%H%M%S" + ".dat".
std::string DefaultBackupName(const std::tm& time);

// Writes a consistent copy of kasso.db to target. The copy is made beside the target and
// renamed over it only when complete, so a failure never leaves a partial file under that
// name. Throws store::DbError or std::filesystem::filesystem_error.
void CopyDatabaseTo(const std::filesystem::path& target);

// The folder of automatic backups: backup/ beside kasso.db.
std::filesystem::path BackupFolder();

// Copies kasso.db into the backup folder under the default name and prunes old copies.
// Returns the path written.
std::filesystem::path WriteAutomaticBackup();

// The backup clock fires at minute 0 of the even hours.
bool IsBackupTime(const std::tm& time);

}  // namespace app
