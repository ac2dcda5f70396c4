#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/store/database.h"

namespace store {

// What the first page of a file says about it, read without opening it as a database.
enum class HeaderCheck { kSound, kUnreadable, kForeign, kDamaged };

// kForeign for a file that is not an SQLite database at all (text, a cut-off header),
// kDamaged for a database whose page size or page count does not match the file's size
// (a truncated copy).
HeaderCheck CheckDatabaseHeader(const std::filesystem::path& file, std::uintmax_t size);

// The state of kasso.db as the till finds it, judged without changing the file.
enum class FileState {
  kReady,     // a till database that can be read and written
  kMissing,   // no file, or an empty one
  kDamaged,   // not a till database, cut off, or unreadable
  kReadOnly,  // a sound file the till may not write
};

// Throws DbError only for failures that say nothing about the file (disk errors, a lock
// held too long).
FileState InspectDatabaseFile(const std::filesystem::path& file);

// How a failure of SQLite bears on the file: kDamaged or kReadOnly, else kReady (the failure
// lies elsewhere).
FileState StateAfterFailure(int sqlite_code);

// A failure that is not the file's fault, in words for the person at the till.
std::string DescribeFailure(const DbError& failure);

}  // namespace store
