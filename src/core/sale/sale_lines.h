#pragma once

// Starting a sale, totalling it and cancelling its lines.

#include <cstdint>

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

// The number the next commit is expected to use: the highest transaction number in the
// journal plus one. 1 for an empty journal or when kasso.db cannot be read; never throws.
std::int64_t NextTransactionNumber();
std::int64_t NextTransactionNumber(store::Database& db);

// Empties the sale for the next customer: no lines, no total yet, the next sale number, the
// ordinary customer and an empty member pane. Never throws.
void NewSale(CurrentSale& sale);
// The same when the caller already knows the next number (right after its own commit).
void NewSale(CurrentSale& sale, std::int64_t next_number);

// Sums the line amounts into the sale's total, rounded to the fen, and shows it on the
// customer display (lamp 2). Returns the sum.
double ComputeTotal(CurrentSale& sale, CustomerDisplay& display);

// Deletes the selected line; the last line becomes selected, and a sale left without lines
// starts anew (NewSale). Without a selection nothing is deleted and the last line is selected.
void CancelLine(CurrentSale& sale);

// Deletes every line and starts a new sale.
void CancelBill(CurrentSale& sale);

}  // namespace sale
