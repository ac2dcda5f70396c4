#pragma once

// The cashier's duties besides selling: closing the shift, opening the drawer without a sale
// and booking petty cash ("+" amount on an empty screen).
//
// The till has one drawer, so a shift is the drawer's, not a cashier's: closing it takes in
// every journal row still in shift 0, whoever rang it up, and the cash in the drawer is
// counted over the same rows. See shift.h.
// Money is double throughout and rounded to the fen; single precision would lose cents on
// a busy day's drawer.

#include <cstdint>
#include <string>
#include <vector>

#include "core/sale/current_sale.h"
#include "core/sale/process_entry.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

// F12 asks this before it closes the shift.
inline constexpr const char* kCloseShiftQuestion = "是否班结?";

struct ShiftClosing {
  std::string message;       // "完成", or "班结有误" when nothing could be closed
  std::int64_t shiftid = 0;  // the shift just closed; 0 when nothing was closed
};

// F12: closes the open shift for the closing cashier; nothing changes when it fails.
ShiftClosing CloseShift(const std::string& workno);

// F3: without the "openmoneybox" right, {"您没有这个权限"} and the drawer stays shut;
// otherwise kicks the drawer and prints the drawer note. Returns the messages to show, in
// order (device and printer troubles; none when all went well).
std::vector<std::string> OpenDrawer(const std::string& workno);

// Writes one "备用金" row of the amount (rounded to the fen) under the next transaction
// number, in shift 0. Throws store::DbError; nothing is written then.
void RecordPettyCash(store::Database& db, double amount, const std::string& workno);

struct PettyCashResult {
  bool booked = false;
  std::vector<std::string> messages;  // to show, in order
};

// Books petty cash: refuses to take out more than the drawer holds ("提取备用金金额(-50.00)
// 不能超过钱箱内现有金额(30.00)"), writes the row checked against the drawer in one
// transaction, then kicks the drawer and prints the slip. An amount beyond what a till holds
// is refused with "备用金金额有误". A write failure gives
// "备用金写入有误" with the drawer shut and nothing printed. Never throws.
PettyCashResult BookPettyCash(double amount, const std::string& workno);

// Petty cash is booked only between sales: with lines on the screen it throws
// common::UserError("有未结账的流水,不能录入备用金"), on either cashier screen.
void CheckPettyCashAllowed(const CurrentSale& sale);

// "+amount" entered on an empty screen (ProcessEntry's kPettyCash with the text after "+"), or
// the touch screen's petty cash pad. Refused while the sale has lines (CheckPettyCashAllowed).
// An amount that is not a number, rounds to 0.00 or is beyond what a till holds is refused
// with "备用金金额有误".
// Shows every message through ui. kDone when booked (the total reads "总计: 0.00"),
// kKeepEntry otherwise (the entry text stays for correction). Never throws.
EntryOutcome PettyCash(CurrentSale& sale, const std::string& amount_text, SaleUi& ui,
                       CustomerDisplay& display);

}  // namespace sale
