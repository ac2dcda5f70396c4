#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace app {

// One finding about a till's set-up: fine, or what to do about it.
struct DoctorLine {
  bool ok = false;
  std::string text;
};

// Checks the till's data folder as the user running the check: the folder's permissions,
// kasso.db, the ports of the settings row (display, printer and drawer, scale: each mapped to
// its device file as the till maps it, then present, a character device and usable by this
// user, naming the group to join), the printer, free disk space, the newest backup and the
// shop-server connection. One line each; never throws.
std::vector<DoctorLine> RunDoctor(const std::filesystem::path& dir);

// The lines as printed: "OK  " before a fine one, "!!  " before one that says what to do,
// each ended by a line break.
std::string DoctorReport(const std::vector<DoctorLine>& lines);

// Below this much free space on the data folder's file system the doctor warns.
inline constexpr unsigned long long kLowDiskBytes = 500ULL * 1024 * 1024;
// A newest backup older than this is reported.
inline constexpr int kBackupMaxAgeHours = 48;

// The till's link to the shop server. A till is on its own until it joins one.
DoctorLine CheckServerConnection(const std::filesystem::path& dir);

}  // namespace app
