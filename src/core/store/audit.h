#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/store/database.h"

namespace store {

// The actions the audit trail records, as the operation log shows them.
inline constexpr const char* kAuditLineRemoved = "单品取消";
inline constexpr const char* kAuditBillCancelled = "整单取消";
inline constexpr const char* kAuditPriceChanged = "修改单价";
inline constexpr const char* kAuditLineDiscount = "单品打折";
inline constexpr const char* kAuditBillDiscount = "整单打折";
inline constexpr const char* kAuditAllowance = "整单优惠";
inline constexpr const char* kAuditRefund = "退货";
inline constexpr const char* kAuditDrawerOpened = "空开钱箱";
inline constexpr const char* kAuditPettyCash = "备用金";
inline constexpr const char* kAuditShiftClosed = "班结";
inline constexpr const char* kAuditLoginFailed = "登录失败";
inline constexpr const char* kAuditSettingsSaved = "设定保存";
inline constexpr const char* kAuditAccountChanged = "登陆账号";
inline constexpr const char* kAuditRightsChanged = "权限修改";
inline constexpr const char* kAuditBackup = "数据备份";
inline constexpr const char* kAuditRestore = "数据恢复";
inline constexpr const char* kAuditDataClear = "数据清除";

// One row of the audit trail: who did what, with its detail and the bill it touched (0 for
// none). The time is the clock's when the row is written.
struct AuditEntry {
  std::string workno;
  std::string_view action;
  std::string detail;
  std::int64_t transactionnumber = 0;
};

// Writes the row inside the caller's open transaction, so that it is kept exactly when the
// action it records is. Throws DbError. Nothing in the program changes or deletes these rows.
void WriteAudit(Database& db, const AuditEntry& entry);

// Writes the row in a transaction of its own, for actions that change nothing in kasso.db
// (a line removed from the sale on screen, the drawer opened).
void WriteAudit(const AuditEntry& entry);

}  // namespace store
