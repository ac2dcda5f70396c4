#include "core/store/audit.h"

#include "core/common/clock.h"

namespace store {

void WriteAudit(Database& db, const AuditEntry& entry) {
  db.Exec(
      "insert into auditlog (logtime,workno,action,detail,transactionnumber) "
      "values (?,?,?,?,?)",
      kasso::NowText(), entry.workno, entry.action, entry.detail, entry.transactionnumber);
}

void WriteAudit(const AuditEntry& entry) {
  Database db;
  Transaction tx(db);
  WriteAudit(db, entry);
  tx.Commit();
}

}  // namespace store
