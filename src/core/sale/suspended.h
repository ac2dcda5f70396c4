#pragma once

// Parking the sale being rung up (F9) and taking a parked sale back (F10). A parked sale is
// one transactionpendinglist row per line under one list number, holding the barcode, the
// quantity, the front price and front rate as the line showed them, and the member.

#include <cstdint>
#include <functional>
#include <optional>

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"

namespace sale {

// Parks the sale: all its lines under the next list number in one transaction, then starts
// a new sale and shows 0 on the pole display. With no lines: "没有销售，无法挂单". When the
// lines cannot be written nothing is parked, the sale stays on screen and "挂单写入有误" is
// shown. True when the sale was parked. Never throws.
bool SuspendSale(CurrentSale& sale, SaleUi& ui, CustomerDisplay& display);

// Asks which parked sale to take back (the record chooser in mode "挂单取回"); nullopt when
// the cashier cancels.
using ParkedSaleChooser = std::function<std::optional<std::int64_t>()>;

// Takes a parked sale back onto the empty screen: re-attaches its member, rebuilds every line
// from the goods master with its parked quantity, front price and front rate, deletes the
// parked rows and totals. The rows are deleted only after every line was rebuilt, and the
// screen takes the sale only after the delete committed, so a failure neither loses the
// parked sale nor leaves it both parked and on screen.
// Refused with lines on screen ("有未结账的流水,不能取回挂单", the chooser is not asked). A
// parked line whose goods no longer exist refuses the retrieval ("挂单商品<barcode>无法销售");
// a database failure shows "挂单取回有误". The sale is unchanged in every refusal.
// True when a sale came back. Never throws.
bool RetrieveSale(CurrentSale& sale, SaleUi& ui, CustomerDisplay& display,
                  const ParkedSaleChooser& choose);

}  // namespace sale
