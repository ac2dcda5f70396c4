// tillwise-admin: creates the till's database file, empty or filled with a demo shop.

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "core/store/database.h"
#include "core/store/schema.h"
#include "demo_shop.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

void PrintUsage(std::ostream& out) {
  out << "usage: tillwise-admin init DIR   create DIR/kasso.db, a new empty shop\n"
         "       tillwise-admin demo DIR   create DIR/kasso.db filled with a demo grocery\n"
         "DIR is created when missing; an existing kasso.db is never overwritten.\n";
}

int Run(std::string_view command, const fs::path& dir) {
  fs::create_directories(dir);
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
