#pragma once

// The kinds of row in the journal, transactiondetails.transactiontype. Statements bind these
// rather than spell them, so every reader and writer of the journal means the same rows.

#include <string_view>

namespace store {

// One sold line of a bill (a returned line is a sold line with a negative quantity).
inline constexpr std::string_view kJournalSale = "销售";
// A returned line, as older tills wrote them; read wherever sold lines are read.
inline constexpr std::string_view kJournalReturn = "退货";
// The one summary row of a bill: its totals and how it was paid.
inline constexpr std::string_view kJournalBillTotal = "销售总计";
// Cash put into the drawer (positive) or taken out (negative) outside a sale.
inline constexpr std::string_view kJournalPettyCash = "备用金";

}  // namespace store
