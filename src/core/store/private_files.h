#pragma once

#include <filesystem>

namespace store {

// kasso.db holds member names, phones, identity numbers and the till's accounts: the data
// folder and every file the program writes there are its user's alone. Modes are given when a
// file or folder is made, so there is never a moment in which another user could open it.
inline constexpr unsigned kOwnerOnlyFileMode = 0600;
inline constexpr unsigned kOwnerOnlyFolderMode = 0700;

// Makes the folder and any missing parents, each readable by its owner only. Throws
// std::filesystem::filesystem_error when the disk refuses.
void CreatePrivateFolders(const std::filesystem::path& folder);

// Creates the file empty with mode 0600 unless it exists; SQLite then opens it as it is, and
// gives its journal files the same mode. Throws std::filesystem::filesystem_error.
void CreatePrivateFile(const std::filesystem::path& file);

// Copies a file byte for byte into a new file of mode 0600 (replacing one of that name) and
// flushes it to disk. Throws std::filesystem::filesystem_error.
void CopyPrivately(const std::filesystem::path& from, const std::filesystem::path& to);

// Takes the group's and others' rights from an existing data folder, its database and lock
// files, and the backup folder with every file in it: a shop upgrading from a version that
// left them readable by every user keeps its data private too. What cannot be changed (a file
// of another owner) is left as it is.
void NarrowDataFolder(const std::filesystem::path& folder);

}  // namespace store
