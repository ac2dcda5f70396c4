#pragma once

#include <string>

#include "core/sale/current_sale.h"

namespace sale {

// Records a change made to the sale on screen (a line removed, the bill cancelled, a price
// changed, a discount given) in the audit trail, under the cashier and the number the bill
// will have. The sale itself is only on screen, so the row is a transaction of its own; it is
// written before the screen changes, and a row that cannot be written (store::DbError) stops
// the change.
void RecordTillAction(const CurrentSale& sale, const char* action, std::string detail);

// The line as the audit trail names it: barcode, name, quantity and amount.
std::string AuditLineText(const SaleLine& line);

}  // namespace sale
