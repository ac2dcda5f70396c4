#include "core/sale/till_audit.h"

#include "core/common/format.h"
#include "core/store/audit.h"

namespace sale {

void RecordTillAction(const CurrentSale& sale, const char* action, std::string detail) {
  store::WriteAudit({sale.workno, action, std::move(detail), sale.sale_number});
}

std::string AuditLineText(const SaleLine& line) {
  return line.barcode + " " + line.goods_name + " ×" +
         common::Fixed(line.quantity, line.quantity_decimals) + " " + AuditFigure(line.amount);
}

std::string AuditFigure(double value) { return common::Money(RoundToFen(value)); }

}  // namespace sale
