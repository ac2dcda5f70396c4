#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "core/app/backup.h"
#include "core/store/database.h"

namespace app {

// Why a chosen file cannot be restored, in words for the person at the till; nullopt when it
// is a sound till database (SQLite, the till's tables, passing the integrity check). The file
// is opened read-only and never changed.
std::optional<std::string> CheckBackupFile(const std::filesystem::path& file);

// Where the working file is kept before a restore replaces it: "恢复前" + time + ".dat" in the
// backup folder, with "-2", "-3"... when that name is taken.
std::filesystem::path SafetyCopyPath(const std::tm& time);

// Replaces kasso.db with the chosen backup. The file is checked first; the copy is built
// beside kasso.db, brought up to date there (old GBK text converted, UpgradeSchema, the
// drawer-command group once more) and only then renamed over kasso.db, after the working file
// has been kept as a safety copy. Returns that copy's path (empty when there was no working
// file). Throws common::UserError when the file is refused, CopyCancelled when progress
// stopped the copy, other std::exceptions when the copy failed; kasso.db is untouched then.
std::filesystem::path RestoreDatabaseFrom(const std::filesystem::path& chosen,
                                          const CopyProgress& progress = {});

// The pair "add opencashiercmd, set it to the default" run as one group after every authorized
// restore attempt; on an up-to-date file the column is there and nothing changes. Throws
// store::DbError on a real failure, with nothing changed.
void RepeatDrawerCommandGroup(store::Database& db);
// The same on kasso.db; a file that cannot be opened is ignored.
void RepeatDrawerCommandGroup();

}  // namespace app
