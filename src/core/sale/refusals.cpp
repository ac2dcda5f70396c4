#include "core/sale/refusals.h"

#include "core/common/error.h"

namespace sale {

bool IsBusy(const store::DbError& error) {
  return error.primary_code() == SQLITE_BUSY || error.primary_code() == SQLITE_LOCKED;
}

std::string DatabaseRefusal(const store::DbError& error) {
  if (IsBusy(error)) return std::string(kDatabaseBusy);
  switch (error.primary_code()) {
    case SQLITE_READONLY:
      return "数据库只读";
    case SQLITE_FULL:
      return "磁盘已满";
    default:
      return {};
  }
}

std::string CommitRefusal(const std::exception& error) {
  if (const auto* refused = dynamic_cast<const common::UserError*>(&error)) return refused->what();
  if (const auto* db_error = dynamic_cast<const store::DbError*>(&error)) {
    if (std::string reason = DatabaseRefusal(*db_error); !reason.empty()) return reason;
  }
  return "流水写入有误";
}

}  // namespace sale
