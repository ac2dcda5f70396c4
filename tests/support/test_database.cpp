#include "support/test_database.h"

#include <unistd.h>

#include <atomic>
#include <string>

#include "common/clock.h"
#include "store/schema.h"

namespace testing_support {

std::filesystem::path MakeTempDir() {
  static std::atomic<int> counter{0};
  auto dir = std::filesystem::temp_directory_path() /
             ("tillwise-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

void TestDatabase::SetUp() {
  dir_ = MakeTempDir();
  store::SetDataDirectory(dir_);
  store::CreateNewDatabase(store::DatabasePath());
}

void TestDatabase::TearDown() {
  kasso::SetFixedClock(std::nullopt);
  store::SetDataDirectory({});
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

}  // namespace testing_support
