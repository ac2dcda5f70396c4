#include "core/reports/query_cursor.h"

#include "core/common/error.h"

namespace reports {
namespace {

// Binds the query's values from ?1 on and the statement's row types from kFirstTypeParameter.
void BindValues(store::Statement& statement, const std::vector<std::string>& values,
                const std::vector<std::string_view>& types) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    statement.Bind(static_cast<int>(i + 1), values[i]);
  }
  for (std::size_t i = 0; i < types.size(); ++i) {
    statement.Bind(kFirstTypeParameter + static_cast<int>(i), types[i]);
  }
}

}  // namespace

QueryCursor::QueryCursor(const QueryPlan& plan) : values_(plan.values) {
  try {
    own_db_.emplace();
  } catch (const store::DbError&) {
    done_ = true;
    throw common::UserError("查询有误");
  }
  db_ = &*own_db_;
  Begin(plan);
}

QueryCursor::QueryCursor(const QueryPlan& plan, store::Database& db)
    : values_(plan.values), db_(&db) {
  Begin(plan);
}

void QueryCursor::Begin(const QueryPlan& plan) {
  try {
    PrepareRangeReading(*db_);
    read_.emplace(*db_);
    definition_ = plan.define(*db_);
    result_ = QueryResult(definition_.columns);
    rows_.emplace(db_->Query(definition_.rows_sql));
    BindValues(*rows_, values_, definition_.row_types);
  } catch (const store::DbError&) {
    Close();
    throw common::UserError("查询有误");
  }
}

std::size_t QueryCursor::Fetch(std::size_t rows) {
  std::size_t read = 0;
  if (done_) return read;
  try {
    while (read < rows) {
      if (!rows_->Step()) {
        ReadTotals();
        break;
      }
      result_.AppendRow(*rows_);
      ++read;
    }
  } catch (const store::DbError&) {
    Close();
    throw common::UserError("查询有误");
  } catch (...) {
    Close();
    throw;
  }
  return read;
}

void QueryCursor::FetchAll() {
  while (!done_) Fetch(65536);
}

void QueryCursor::ReadTotals() {
  rows_.reset();
  store::Statement totals = db_->Query(definition_.totals_sql);
  BindValues(totals, values_, definition_.total_types);
  if (totals.Step()) result_.SetTotals(totals, definition_.total_columns);
  has_totals_ = true;
  Close();
}

void QueryCursor::Close() {
  rows_.reset();
  read_.reset();
  own_db_.reset();
  db_ = nullptr;
  done_ = true;
}

}  // namespace reports
