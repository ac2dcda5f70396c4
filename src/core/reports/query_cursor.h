#pragma once

// A query read a piece at a time, so that the list shows its first rows at once and the rest
// as they come, with the "总计" row last. The rows and the totals are read in one read
// transaction on one connection, so the totals are those of exactly the rows shown.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/reports/query_definitions.h"
#include "core/reports/query_result.h"
#include "core/store/database.h"

namespace reports {

// Which query to run: its definition (which may look at the settings on the query's
// connection) and the values its statements bind from ?1 on.
struct QueryPlan {
  std::function<QueryDefinition(store::Database&)> define;
  std::vector<std::string> values;
};

class QueryCursor {
 public:
  // Opens kasso.db, starts the read transaction and the row statement; no row is read yet.
  // Throws common::UserError("查询有误") when kasso.db cannot be read.
  explicit QueryCursor(const QueryPlan& plan);
  // The same over another file of the same tables, open in db, which must outlive the cursor.
  QueryCursor(const QueryPlan& plan, store::Database& db);
  QueryCursor(const QueryCursor&) = delete;
  QueryCursor& operator=(const QueryCursor&) = delete;

  // Reads up to `rows` more rows into result(). When the rows run out it reads the totals,
  // ends the transaction and closes kasso.db: done() is then true and result() complete.
  // Returns the number of rows read. Throws common::UserError("查询有误") when a statement
  // fails; the rows read so far stay in result(), which never gets its totals, and the
  // cursor is done.
  std::size_t Fetch(std::size_t rows);
  // Reads everything that is left.
  void FetchAll();

  bool done() const { return done_; }
  // Whether the totals were read (done without a failure).
  bool HasTotals() const { return has_totals_; }
  const QueryResult& result() const { return result_; }
  // The result, taken out of the cursor; for a done cursor.
  QueryResult TakeResult() { return std::move(result_); }

 private:
  void Begin(const QueryPlan& plan);
  void ReadTotals();
  void Close();

  QueryDefinition definition_;
  std::vector<std::string> values_;
  QueryResult result_;
  std::optional<store::Database> own_db_;  // kasso.db, when no other file was given
  store::Database* db_ = nullptr;
  std::optional<store::ReadTransaction> read_;
  std::optional<store::Statement> rows_;
  bool done_ = false;
  bool has_totals_ = false;
};

}  // namespace reports
