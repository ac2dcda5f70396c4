#pragma once

// The slips of the till, composed from kasso.db for a paper of the given columns: the sale
// receipt, the shift slip, the note that the drawer was opened and the petty-cash slip.
// Blank feed lines at the end are the printer's business (emptylines), not added here.

#include <cstdint>
#include <string>

#include "core/devices/slip.h"
#include "core/devices/slip_printer.h"
#include "core/store/database.h"

namespace sale {

using print::Slip;

// The receipt of one bill: shop header (welcome), bill number, time, cashier, every sold or
// returned line, totals, round-off, allowance, tenders, change, the member's points earned
// and balances, footer (bye). Throws common::UserError ("流水号 12 不存在") when the journal
// holds no sale under that number, store::DbError when it cannot be read.
Slip ComposeSaleReceipt(store::Database& db, std::int64_t transactionnumber, int columns);

// The caption of the shift slip's last figure: the cash the drawer should hold.
inline constexpr const char* kShiftDrawerCaption = "钱箱应有现金";

// The slip of a closed shift: every figure of its shiftsum row with the cashier and the
// closing time, then the cash the drawer should hold. Throws common::UserError ("班次 3 不存在")
// or store::DbError.
Slip ComposeShiftSlip(store::Database& db, std::int64_t shiftid, int columns);

// The note that the drawer was opened without a sale: who and when.
Slip ComposeDrawerNote(store::Database& db, const std::string& workno, int columns);

// The petty-cash slip: a positive amount was put into the drawer, a negative one taken out.
Slip ComposePettySlip(double amount, const std::string& operator_name, int columns);

// The prints of the till, each composed here and sent by the printer mode of the settings
// (print::PrintSlip). Each returns the message to show when the slip could not be printed
// ("小票打印失败: ..."), empty when it was printed or the till prints nothing.
std::string PrintSaleReceipt(std::int64_t transactionnumber);
std::string PrintShiftSlip(std::int64_t shiftid);
std::string PrintPettySlip(double amount, const std::string& operator_name);
std::string PrintDrawerNote(const std::string& workno);

// The shift slip (F2) and a reprinted receipt (F5), printed; when the till prints nothing or
// the printer fails, the slip comes back to be shown on the screen instead.
print::SlipDelivery DeliverShiftSlip(std::int64_t shiftid);
print::SlipDelivery DeliverSaleReceipt(std::int64_t transactionnumber);

}  // namespace sale
