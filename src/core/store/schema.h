#pragma once

#include <filesystem>

#include "core/store/database.h"
#include "core/store/file_check.h"

namespace store {

// Creates every table of the till with all of its columns, as a current file has them.
void CreateBaseTables(Database& db);

// Writes the rows a new shop starts with: account "0" (password "0", manager), the rights of
// both duties, the settings row and the label template defaults.
void SeedNewDatabase(Database& db);

// Builds a complete new kasso.db at the given path. The file is assembled beside the target
// and renamed into place, so a failure never leaves a half-made database under that name.
// An empty file of that name is replaced. Throws DbError when a file with content already
// exists or the file cannot be written.
void CreateNewDatabase(const std::filesystem::path& file);

// At start-up, on a file that is there: converts the texts of a file from the earlier
// Windows till out of GBK once and brings it up to date with UpgradeSchema, all in one
// transaction. A missing, damaged or read-only file is left exactly as it is and its state
// returned; kReady when the file is prepared. Throws DbError on any other failure (disk
// full, locked, I/O), with the file as it was.
FileState PrepareDatabase(const std::filesystem::path& file);

}  // namespace store
