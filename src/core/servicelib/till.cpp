#include <numeric>

#include "core/app/backup.h"
#include "core/lookups/open_or.h"
#include "core/sale/shift.h"
#include "core/sale/till_duties.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

double GetMoneyInCashier(store::Database& db) { return sale::MoneyInDrawer(db); }
double GetMoneyInCashier() {
  return OpenOr(0.0, [](auto& db) { return GetMoneyInCashier(db); });
}

bool ShiftConfirmation(const std::string& workno) {
  try {
    sale::CloseOpenShift(workno);
    return true;
  } catch (const store::DbError&) {
    return false;
  }
}

std::string WritePettyTranAndPrint(double amount, const std::string& workno) {
  sale::PettyCashResult result = sale::BookPettyCash(amount, workno);
  return std::accumulate(result.messages.begin(), result.messages.end(), std::string(),
                         [](std::string joined, const std::string& message) {
                           return joined.empty() ? message : joined + "\n" + message;
                         });
}

void HandleBackUp() { app::WriteAutomaticBackup(); }

}  // namespace servicelib
