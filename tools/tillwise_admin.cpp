// tillwise-admin: creates the till's database file, empty or filled with a demo shop, and
// checks a till's set-up.

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/doctor.h"
#include "core/store/database.h"
#include "core/store/private_files.h"
#include "core/store/schema.h"
#include "demo_shop.h"
#include "server_commands.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

void PrintUsage(std::ostream& out) {
  out << "usage: tillwise-admin init DIR     create DIR/kasso.db, a new empty shop\n"
         "       tillwise-admin demo DIR     create DIR/kasso.db filled with a demo grocery\n"
         "       tillwise-admin doctor [DIR] check the till's folder, devices and backups\n"
         "                                   (DIR: the folder the tillwise launcher uses)\n"
      << admin::kServerUsage
      << "DIR is created when missing; an existing kasso.db is never overwritten.\n";
}

// The folder the installed launcher runs the till in.
fs::path DefaultDataFolder() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home != nullptr && data_home[0] == '/') return fs::path(data_home) / "tillwise";
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : "") / ".local/share/tillwise";
}

// Prints one line per finding; exit code 0 only when every one is fine.
int Doctor(const fs::path& dir) {
  std::vector<app::DoctorLine> lines = app::RunDoctor(dir);
  std::cout << app::DoctorReport(lines);
  bool all_ok = std::all_of(lines.begin(), lines.end(), [](const auto& line) { return line.ok; });
  return all_ok ? 0 : kFailed;
}

int Run(std::string_view command, const fs::path& dir) {
  // A new folder is the owner's alone: it holds members' phone and identity-card numbers.
  store::CreatePrivateFolders(dir);
  const fs::path file = dir / "kasso.db";
  if (fs::exists(file)) {
    std::cerr << "tillwise-admin: " << file.string()
              << " already exists; nothing was changed. Remove it first or choose another "
                 "directory.\n";
    return kFailed;
  }
  if (command == "init") {
    store::CreateNewDatabase(file);
    std::cout << "created " << file.string() << "\n"
              << "log in with work number 0, password 0 (manager)\n";
    return 0;
  }
  demo::DemoShopCounts counts = demo::CreateDemoShop(file);
  std::cout << "created " << file.string() << " with " << counts.goods << " goods, "
            << counts.members << " members and " << counts.bills << " past bills\n"
            << "log in with work number 0, password 0 (manager) or 1, password 1 (cashier)\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    PrintUsage(std::cout);
    return 0;
  }
  if (argc >= 2 && std::string_view(argv[1]) == "server") {
    return admin::RunServerCommand(std::vector<std::string>(argv + 2, argv + argc));
  }
  if (argc >= 2 && argc <= 3 && std::string_view(argv[1]) == "doctor") {
    return Doctor(argc == 3 ? fs::path(argv[2]) : DefaultDataFolder());
  }
  if (argc != 3 || (std::string_view(argv[1]) != "init" && std::string_view(argv[1]) != "demo") ||
      std::string_view(argv[2]).empty()) {
    PrintUsage(std::cerr);
    return kBadArguments;
  }
  try {
    return Run(argv[1], argv[2]);
  } catch (const std::exception& error) {
    std::cerr << "tillwise-admin: " << error.what() << "\n";
    return kFailed;
  }
}
