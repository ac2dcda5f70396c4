#include "support/test_database.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>

#include "core/common/clock.h"
#include "core/store/schema.h"

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
  common::SetFixedClock(std::nullopt);
  store::SetDataDirectory({});
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TestDatabase::RowsOf(const std::string& sql) const {
  store::Database db = Open();
  return RowsText(db, sql);
}

std::string RowsText(store::Database& db, const std::string& sql) {
  std::string text;
  auto rows = db.Query(sql);
  while (rows.Step()) {
    for (int i = 0; i < rows.ColumnCount(); ++i) {
      text += (rows.IsNull(i) ? std::string("NULL") : rows.Text(i)) + "|";
    }
    text += "\n";
  }
  return text;
}

std::string DumpTables(store::Database& db) {
  std::string dump;
  auto tables = db.Query("select name from sqlite_master where type = 'table' order by name");
  while (tables.Step()) {
    dump += "[" + tables.Text(0) + "]\n" +
            RowsText(db, "select * from \"" + tables.Text(0) + "\" order by rowid");
  }
  return dump;
}

}  // namespace testing_support
