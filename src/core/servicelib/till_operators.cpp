#include "core/app/backup.h"
#include "core/lookups/bills.h"
#include "core/lookups/open_or.h"
#include "core/lookups/operators.h"
#include "core/lookups/till_numbers.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

using lookups::OpenOr;

std::string GetOperatorName(const std::string& workno) {
  return OpenOr<std::string>("", [&](auto& db) { return lookups::OperatorName(db, workno); });
}

bool IfUnConfirmedData(const std::string& kind) {
  return OpenOr(true, [&](auto& db) { return lookups::HasUnverifiedLines(db, kind); });
}

std::int64_t GetTranNo() {
  return OpenOr<std::int64_t>(1, [](auto& db) { return lookups::NextBillNumber(db); });
}

void HandleBackUp() { app::WriteAutomaticBackup(); }

}  // namespace servicelib
