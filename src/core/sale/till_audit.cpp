#include "core/sale/till_audit.h"

#include "core/store/audit.h"

namespace sale {

void RecordTillAction(const CurrentSale& sale, const char* action, std::string detail) {
  store::WriteAudit({sale.workno, action, std::move(detail), sale.sale_number});
}

std::string AuditLineText(const SaleLine& line) {
  return line[kBarcode] + " " + line[kGoodsName] + " ×" + line[kQuantity] + " " + line[kAmount];
}

}  // namespace sale
