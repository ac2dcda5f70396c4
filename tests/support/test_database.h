#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/store/database.h"

namespace testing_support {

// Each test gets its own data directory with a freshly created kasso.db (the shipped state),
// and the real clock back when it ends.
class TestDatabase : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path dir() const { return dir_; }
  store::Database Open() const { return store::Database(store::DatabasePath()); }

 private:
  std::filesystem::path dir_;
};

// A data directory without any database, for tests of creation and restore.
std::filesystem::path MakeTempDir();

// The whole content of a file ("" when it is missing), to prove a file unchanged or exact.
std::string FileBytes(const std::filesystem::path& file);

// Every row of every table in a stable text form, to prove two files hold the same data.
std::string DumpTables(store::Database& db);

}  // namespace testing_support
