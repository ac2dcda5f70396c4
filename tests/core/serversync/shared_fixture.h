#pragma once

// Several tills of one shop on a real shop server, each with its own kasso.db. Till one starts
// with goods A and B and joins first, so its data becomes the shop's; the others join after
// and copy it. The tills' changes go to the server first, as in the program.

#include <filesystem>
#include <string>
#include <vector>

#include "core/serversync/shared_data.h"
#include "core/store/schema.h"
#include "core/store/sharing.h"
#include "server_fixture.h"

namespace server_testing {

class SharedDataFixture : public ServerFixture {
 protected:
  void SetUp() override {
    ServerFixture::SetUp();
    serversync::InstallCommitGate();
    one_ = dir();
  }

  void TearDown() override {
    store::SetCommitGate({});
    store::SetDataDirectory(one_);
    std::error_code ignored;
    for (const std::filesystem::path& till : others_) std::filesystem::remove_all(till, ignored);
    ServerFixture::TearDown();
  }

  // A new till with a fresh file, joined to the shop; the calls after it are at till one.
  std::filesystem::path AddTill(const std::string& name) {
    std::filesystem::path till = testing_support::MakeTempDir();
    others_.push_back(till);
    store::SetDataDirectory(till);
    store::CreateNewDatabase(store::DatabasePath());
    prepare_new_till(till);
    {
      store::Database db;
      serversync::JoinServer(db, conninfo_, "一号店", name);
    }
    store::SetDataDirectory(one_);
    return till;
  }

  // Runs call with till's file as the program's file, then goes back to till one.
  template <typename Call>
  auto At(const std::filesystem::path& till, Call&& call) {
    store::SetDataDirectory(till);
    struct Back {
      std::filesystem::path one;
      ~Back() { store::SetDataDirectory(one); }
    } back{one_};
    return call();
  }

  std::size_t Pull(const std::filesystem::path& till, const serversync::PullOptions& options = {}) {
    return At(till, [&] {
      store::Database db;
      return serversync::PullChanges(db, options);
    });
  }

  // One statement in a transaction of its own, as the back-office rules write.
  template <typename... Args>
  void Write(const std::filesystem::path& till, const std::string& sql, const Args&... args) {
    At(till, [&] {
      store::Database db;
      store::Transaction tx(db);
      db.Exec(sql, args...);
      tx.Commit();
    });
  }

  template <typename... Args>
  double NumberAt(const std::filesystem::path& till, const std::string& sql, const Args&... args) {
    return At(till, [&] { return Number(sql, args...); });
  }
  std::string RowsAt(const std::filesystem::path& till, const std::string& sql) {
    return At(till, [&] { return RowsOf(sql); });
  }
  double ServerNumber(const std::string& sql) {
    serversync::PgConnection conn(conninfo_);
    return conn.Exec(sql).Double(0, 0);
  }

  std::filesystem::path one_;
  std::vector<std::filesystem::path> others_;
  // Lets a test give a new till data of its own before it joins.
  std::function<void(const std::filesystem::path&)> prepare_new_till = [](auto&) {};
};

}  // namespace server_testing
