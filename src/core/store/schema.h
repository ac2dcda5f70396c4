#pragma once

#include <filesystem>

#include "core/store/database.h"

namespace store {

// Creates every table of the till with all of its columns, as a current file has them.
void CreateBaseTables(Database& db);

// Writes the rows a new shop starts with: account "0" (password "0", manager), the rights of
// both duties, the settings row and the label template defaults.
void SeedNewDatabase(Database& db);

// Builds a complete new kasso.db at the given path. The file is assembled beside the target
// and renamed into place, so a failure never leaves a half-made database under that name.
// Throws DbError when the file already exists or cannot be written.
void CreateNewDatabase(const std::filesystem::path& file);

// At start-up: creates kasso.db when it is missing; otherwise converts the texts of a file from
// the earlier Windows till out of GBK once and brings it up to date with UpgradeSchema.
// Returns true when a new file was created.
bool PrepareDatabase(const std::filesystem::path& file);

}  // namespace store
