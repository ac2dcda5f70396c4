#pragma once

#include <sqlite3.h>

#include "store/database.h"

namespace sale {

// One read transaction over a run of look-ups, so SQLite locks and checks the file once
// instead of once per statement. Inside a caller's transaction it does nothing. Statements
// prepared under it must be finished before it ends.
class ReadTransaction {
 public:
  explicit ReadTransaction(store::Database& db)
      : db_(db), own_(sqlite3_get_autocommit(db.handle()) != 0) {
    if (own_) db_.ExecScript("begin");
  }
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;
  ~ReadTransaction() { End(); }

  // Ends the transaction early, before the operation goes on to write.
  void End() {
    if (own_) sqlite3_exec(db_.handle(), "commit", nullptr, nullptr, nullptr);
    own_ = false;
  }

 private:
  store::Database& db_;
  bool own_;
};

}  // namespace sale
