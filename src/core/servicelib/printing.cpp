#include "core/sale/receipts.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

std::string ReceiptPrintByTranNo(std::int64_t transactionnumber) {
  return sale::PrintSaleReceipt(transactionnumber);
}

std::string PrintShiftSum(std::int64_t shiftid) { return sale::PrintShiftSlip(shiftid); }

std::string PettyReceiptPrint(double amount, const std::string& operator_name) {
  return sale::PrintPettySlip(amount, operator_name);
}

std::string OpenMoneyBoxPrint(const std::string& workno) { return sale::PrintDrawerNote(workno); }

}  // namespace servicelib
