#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "store/database.h"

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

}  // namespace testing_support
