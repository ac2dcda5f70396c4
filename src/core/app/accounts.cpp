#include "core/app/accounts.h"

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/common/password.h"
#include "core/store/audit.h"
#include "core/store/database.h"

namespace app {

std::vector<OperatorRecord> ListOperators() {
  store::Database db;
  store::Statement rows = db.Query("select workno,operatorname,operatorduty from operatormaster");
  std::vector<OperatorRecord> accounts;
  while (rows.Step()) {
    OperatorRecord account;
    account.workno = rows.Text(0);
    account.operatorname = rows.Text(1);
    account.operatorduty = rows.Text(2);
    accounts.push_back(std::move(account));
  }
  return accounts;
}

std::optional<OperatorRecord> LoadOperator(const std::string& workno) {
  std::string key = NormalizeWorkno(workno);
  store::Database db;
  store::Statement row =
      db.Query("select operatorname,operatorduty from operatormaster where workno = ?", key);
  if (!row.Step()) return std::nullopt;
  return OperatorRecord{key, row.Text(0), {}, row.Text(1)};
}

std::string NormalizeWorkno(const std::string& workno) {
  size_t end = workno.find_last_not_of(" \t\r\n");
  return end == std::string::npos ? std::string() : workno.substr(0, end + 1);
}

SaveResult SaveOperator(const OperatorRecord& record, const std::string& actor) {
  const std::string workno = NormalizeWorkno(record.workno);
  if (kasso::Trim(workno).empty()) throw kasso::ValidationError("工号不能为空", "workno");
  if (kasso::Trim(record.operatorname).empty()) {
    throw kasso::ValidationError("名称不能为空", "operatorname");
  }
  const std::string& duty = record.operatorduty;
  if (duty.empty()) throw kasso::ValidationError("职责不能为空", "operatorduty");
  if (duty != kManagerDuty && duty != kCashierDuty) {
    throw kasso::ValidationError("职责选择有误", "operatorduty");
  }

  // Hashed before the transaction: the hash takes a moment, and the file need not wait for it.
  const std::string password = kasso::HashPassword(record.operatorpassword);
  store::Database db;
  store::Transaction tx(db);
  // The look-up and the write share one transaction, so the answer "new or existing" still
  // holds when the row is written and a work number never ends up stored twice.
  bool exists = false;
  try {
    exists = db.HasRow("select * from operatormaster where workno = ?", workno);
  } catch (const store::DbError&) {
    throw kasso::UserError("登陆账号有误");
  }

  SaveResult result;
  if (exists) {
    if (workno == kBuiltInWorkno && duty != kManagerDuty) {
      throw kasso::ValidationError("0账号的职责必须是经理", "operatorduty");
    }
    db.Exec("update operatormaster set operatorname = ?,operatorduty = ? where workno = ?",
            record.operatorname, duty, workno);
    if (!record.operatorpassword.empty()) {
      db.Exec("update operatormaster set operatorpassword = ? where workno = ?", password, workno);
    }
    result = SaveResult::kUpdated;
  } else {
    if (workno == kBuiltInWorkno) {
      throw kasso::ValidationError("不能添加工号为0的账号", "workno");
    }
    db.Exec(
        "insert into operatormaster (workno,operatorname,operatorpassword,operatorduty) "
        "values (?,?,?,?)",
        workno, record.operatorname, password, duty);
    result = SaveResult::kInserted;
  }
  std::string detail = (result == SaveResult::kInserted ? "添加 " : "修改 ") + workno + " " + duty;
  if (result == SaveResult::kUpdated && !record.operatorpassword.empty()) detail += " 密码";
  store::WriteAudit(db, {actor, store::kAuditAccountChanged, detail, 0});
  tx.Commit();
  return result;
}

void DeleteOperator(const std::string& workno, const std::string& actor) {
  std::string key = NormalizeWorkno(workno);
  if (key == kBuiltInWorkno) throw kasso::UserError("此账号不能删除!");
  store::Database db;
  store::Transaction tx(db);
  if (db.Exec("delete from operatormaster where workno = ?", key) > 0) {
    store::WriteAudit(db, {actor, store::kAuditAccountChanged, "删除 " + key, 0});
  }
  tx.Commit();
}

}  // namespace app
