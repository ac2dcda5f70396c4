#pragma once

// "操作日志": the audit trail over a date range, for one account and one action or all of
// them, newest last, with the number of entries in its "总计" row.

#include <optional>
#include <string>
#include <vector>

#include "core/reports/date_range.h"
#include "core/reports/query_result.h"

namespace reports {

// Whom and what the list shows; nullopt for every account or every action.
struct AuditFilter {
  std::optional<std::string> workno;
  std::optional<std::string> action;
};

// Throws kasso::UserError("查询有误") when kasso.db cannot be read.
QueryResult AuditLogQuery(const DateRange& range, const AuditFilter& filter);

// The accounts the trail names (current accounts and any it recorded), and every action it
// can hold, for the filter's choices. Throws kasso::UserError("查询有误").
std::vector<std::string> AuditAccounts();
std::vector<std::string> AuditActions();

}  // namespace reports
