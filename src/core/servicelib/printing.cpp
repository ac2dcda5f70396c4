#include "devices/receipts.h"
#include "devices/slip_printer.h"
#include "servicelib/kasso_basic.h"

namespace servicelib {

std::string ReceiptPrintByTranNo(std::int64_t transactionnumber) {
  return print::PrintSlip("小票打印失败", [&](store::Database& db, int columns) {
    return print::ComposeSaleReceipt(db, transactionnumber, columns);
  });
}

std::string PrintShiftSum(std::int64_t shiftid) {
  return print::PrintSlip("班结小票打印失败", [&](store::Database& db, int columns) {
    return print::ComposeShiftSlip(db, shiftid, columns);
  });
}

std::string PettyReceiptPrint(double amount, const std::string& operator_name) {
  return print::PrintSlip("备用金小票打印失败", [&](store::Database&, int columns) {
    return print::ComposePettySlip(amount, operator_name, columns);
  });
}

std::string OpenMoneyBoxPrint(const std::string& workno) {
  return print::PrintSlip("开钱箱小票打印失败", [&](store::Database& db, int columns) {
    return print::ComposeDrawerNote(db, workno, columns);
  });
}

}  // namespace servicelib
