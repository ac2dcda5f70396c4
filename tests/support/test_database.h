#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "core/common/error.h"
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

  // A count (or other whole number) from kasso.db; -1 when there is no row.
  template <typename... Args>
  std::int64_t Count(const std::string& sql, const Args&... args) const {
    return Open().QueryInt(sql, args...).value_or(-1);
  }
  // A number such as a stock quantity; -1 when there is no row.
  template <typename... Args>
  double Number(const std::string& sql, const Args&... args) const {
    return Open().QueryDouble(sql, args...).value_or(-1);
  }
  // Every row the query gives, its fields ended by "|" and each row by a line break.
  std::string RowsOf(const std::string& sql) const;

 private:
  std::filesystem::path dir_;
};

// How a call refused: the message of the common::UserError it threw and, for a refused input,
// the field to focus. Empty when the call went through.
struct Refusal {
  std::string message;
  std::string field;
  bool operator==(const Refusal&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Refusal& r) {
    return out << '"' << r.message << "\" (" << r.field << ')';
  }
};

template <typename Call>
Refusal RefusalOf(Call&& call) {
  try {
    call();
  } catch (const common::ValidationError& error) {
    return {error.what(), error.field()};
  } catch (const common::UserError& error) {
    return {error.what(), ""};
  }
  return {};
}

// The message alone ("" when the call went through).
template <typename Call>
std::string ErrorOf(Call&& call) {
  return RefusalOf(call).message;
}

// A data directory without any database, for tests of creation and restore.
std::filesystem::path MakeTempDir();

// The whole content of a file ("" when it is missing), to prove a file unchanged or exact.
std::string FileBytes(const std::filesystem::path& file);

// Every row the query gives, its fields ended by "|" and each row by a line break.
std::string RowsText(store::Database& db, const std::string& sql);

// Every row of every table in a stable text form, to prove two files hold the same data.
std::string DumpTables(store::Database& db);

}  // namespace testing_support
