#include "core/sale/sale_lines.h"

#include "core/lookups/numbers.h"
#include "core/lookups/open_or.h"
#include "core/lookups/till_numbers.h"
#include "core/sale/till_audit.h"
#include "core/store/audit.h"

namespace sale {

std::int64_t NextTransactionNumber(store::Database& db) {
  try {
    return lookups::NextBillNumber(db);
  } catch (const store::DbError&) {
    return 1;
  }
}

std::int64_t NextTransactionNumber() {
  return lookups::OpenOr<std::int64_t>(
      1, [](store::Database& db) { return NextTransactionNumber(db); });
}

void NewSale(CurrentSale& sale) { NewSale(sale, NextTransactionNumber()); }

void NewSale(CurrentSale& sale, std::int64_t next_number) {
  sale.lines.clear();
  sale.selected = -1;
  sale.total = 0;
  sale.total_caption = std::string(kTotalCaption);
  sale.sale_number = next_number;
  ClearMember(sale);
  sale.member_pane.clear();
}

double ComputeTotal(CurrentSale& sale, CustomerDisplay& display) {
  double sum = 0;
  for (const SaleLine& line : sale.lines) sum += line.Number(kAmount);
  sum = lookups::RoundTo(sum, 2);
  sale.total = sum;
  sale.total_caption = std::string(kTotalCaption) + MoneyText(sum);
  try {
    display.ShowTotal(sum);
  } catch (...) {
    // The pole display is a courtesy to the customer; it never stops a sale.
  }
  return sum;
}

void CancelLine(CurrentSale& sale) {
  if (sale.HasSelection()) {
    const SaleLine& line = sale.lines[static_cast<size_t>(sale.selected)];
    RecordTillAction(sale, store::kAuditLineRemoved, AuditLineText(line));
    sale.lines.erase(sale.lines.begin() + sale.selected);
  }
  if (sale.lines.empty()) {
    NewSale(sale);
    return;
  }
  sale.selected = static_cast<int>(sale.lines.size()) - 1;
}

void CancelBill(CurrentSale& sale) {
  if (!sale.lines.empty()) {
    double total = 0;
    for (const SaleLine& line : sale.lines) total += line.Number(kAmount);
    RecordTillAction(
        sale, store::kAuditBillCancelled,
        std::to_string(sale.lines.size()) + " 行 合计 " + MoneyText(lookups::RoundTo(total, 2)));
  }
  NewSale(sale);
}

}  // namespace sale
