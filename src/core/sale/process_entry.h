#pragma once

// Enter in a cashier screen's entry field: a barcode, or a command character followed by a
// number ("*" quantity, "/" item discount, "%" bill discount, "\" price, "-" cancel the
// line, "=" cancel the bill, "+" petty cash). With no lines every text is a barcode, except
// "+" (petty cash).

#include <string>

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"

namespace sale {

enum class EntryOutcome {
  kDone,       // handled; the screen empties the entry field
  kKeepEntry,  // a message was shown; the entry text stays for correction, nothing changed
  kSettle,     // the entry field was empty: the screen settles the sale
  kPettyCash,  // "+" on an empty sale: the screen books petty cash of petty_cash_amount
};

struct EntryResult {
  EntryOutcome outcome = EntryOutcome::kDone;
  std::string petty_cash_amount;  // the text after "+", for kPettyCash
};

// Interprets the entry text against the sale, asks through ui what it needs, and totals
// (ComputeTotal) after every change. Every message is shown through ui; never throws.
EntryResult ProcessEntry(CurrentSale& sale, const std::string& text, SaleUi& ui,
                         CustomerDisplay& display);

}  // namespace sale
