#include "core/reports/audit_log.h"

#include "core/common/error.h"
#include "core/store/audit.h"
#include "core/store/database.h"

namespace reports {
namespace {

// ?3 and ?4 are NULL for "every account" and "every action".
constexpr const char* kWhere =
    " from auditlog where logtime >= ?1 and logtime <= ?2 and (?3 is null or workno = ?3) "
    "and (?4 is null or action = ?4)";

void BindFilter(store::Statement& statement, const DateRange& range, const AuditFilter& filter) {
  statement.Bind(1, range.start);
  statement.Bind(2, range.end);
  for (auto [index, value] : {std::pair{3, &filter.workno}, std::pair{4, &filter.action}}) {
    if (*value) {
      statement.Bind(index, **value);
    } else {
      statement.Bind(index, nullptr);
    }
  }
}

}  // namespace

QueryResult AuditLogQuery(const DateRange& range, const AuditFilter& filter) {
  try {
    store::Database db;
    store::ReadTransaction read(db);
    QueryResult result({{"时间", 150},
                        {"账号", 80},
                        {"操作", 100},
                        {"内容", 360},
                        {"单号", 80, CellFormat::kInteger, Align::kRight}});
    store::Statement rows =
        db.Query(std::string("select logtime,workno,action,detail,ifnull(transactionnumber,0)") +
                 kWhere + " order by logtime,rowid");
    BindFilter(rows, range, filter);
    while (rows.Step()) result.AppendRow(rows);
    store::Statement totals = db.Query(std::string("select '共 ' || count(*) || ' 条'") + kWhere);
    BindFilter(totals, range, filter);
    if (totals.Step()) result.SetTotals(totals, {2});
    return result;
  } catch (const store::DbError&) {
    throw kasso::UserError("查询有误");
  }
}

std::vector<std::string> AuditAccounts() {
  try {
    store::Database db;
    store::Statement rows =
        db.Query("select workno from operatormaster union select workno from auditlog order by 1");
    std::vector<std::string> accounts;
    while (rows.Step()) accounts.push_back(rows.Text(0));
    return accounts;
  } catch (const store::DbError&) {
    throw kasso::UserError("查询有误");
  }
}

std::vector<std::string> AuditActions() {
  return {store::kAuditLineRemoved,    store::kAuditBillCancelled, store::kAuditPriceChanged,
          store::kAuditLineDiscount,   store::kAuditBillDiscount,  store::kAuditAllowance,
          store::kAuditRefund,         store::kAuditDrawerOpened,  store::kAuditPettyCash,
          store::kAuditShiftClosed,    store::kAuditLoginFailed,   store::kAuditSettingsSaved,
          store::kAuditAccountChanged, store::kAuditRightsChanged, store::kAuditBackup,
          store::kAuditRestore,        store::kAuditDataClear};
}

}  // namespace reports
