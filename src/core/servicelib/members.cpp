#include "core/backoffice/members/top_up.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

backoffice::TopUpDone DepositConfirmation(const std::string& memberid, double amount, bool print,
                                          const std::string& operator_name) {
  return backoffice::DepositConfirmation(memberid, amount, print, operator_name);
}

}  // namespace servicelib
