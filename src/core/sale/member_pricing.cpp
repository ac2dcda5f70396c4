#include "core/sale/member_pricing.h"

#include <algorithm>

#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/sale/sale_lines.h"
#include "core/store/yes_no.h"

namespace sale {
namespace {

using lookups::RoundTo;

double LineQuantity(const SaleLine& line) { return RoundTo(line.Number(kQuantity), 3); }

void PriceForOrdinaryCustomer(std::vector<SaleLine>& lines) {
  for (SaleLine& line : lines) {
    double price = RoundTo(line.Number(kSalesPrice), 2);
    line[kPrice] = MoneyText(price);
    line[kRate] = line[kFrontRate];
    line[kMemberRate] = "1.00";
    SetLineAmounts(line, line.Number(kRate), price, LineQuantity(line));
  }
}

void PriceForMemberPrice(store::Database& db, std::vector<SaleLine>& lines) {
  store::ReadTransaction read(db);
  // The member price of every line, one prepared statement for the whole pass
  // (GetMemberPrice's query: 0 when the goods have none).
  store::Statement lookup = db.Query("select memberprice from goodsmaster where barcode = ?");
  for (SaleLine& line : lines) {
    lookup.Reset();
    lookup.Bind(1, line[kBarcode]);
    double memberprice = lookup.Step() ? RoundTo(lookup.Double(0), 2) : 0.0;
    double salesprice = RoundTo(line.Number(kSalesPrice), 2);
    if (memberprice == 0) memberprice = salesprice;
    line[kMemberPrice] = MoneyText(memberprice);
    double price = std::min({salesprice, memberprice, RoundTo(line.Number(kFrontPrice), 2)});
    double rate = RoundTo(line.Number(kRate), 2);
    line[kPrice] = MoneyText(price);
    SetLineAmounts(line, rate, price, LineQuantity(line));
  }
}

void PriceForMemberDiscount(store::Database& db, const CurrentSale& sale,
                            std::vector<SaleLine>& lines) {
  double member_rate = RoundTo(sale.member_disrate, 2);
  bool discount_on_discount = lookups::HasDiscountOnDiscount(db, sale.member_id);
  for (SaleLine& line : lines) {
    line[kMemberRate] = MoneyText(member_rate);
    double front_rate = RoundTo(line.Number(kFrontRate), 2);
    double rate = discount_on_discount        ? RoundTo(front_rate * member_rate, 2)
                  : member_rate <= front_rate ? member_rate
                                              : front_rate;
    line[kRate] = MoneyText(rate);
    // The amount is computed from the sales price, so the price column shows it too: the
    // line's amount must stay rate x price x quantity as shown and as committed.
    double salesprice = RoundTo(line.Number(kSalesPrice), 2);
    line[kPrice] = MoneyText(salesprice);
    SetLineAmounts(line, rate, salesprice, LineQuantity(line));
  }
}

// Repricing works on a copy, so a failing look-up leaves the sale as it was.
void PriceLines(store::Database* db, CurrentSale& sale) {
  std::vector<SaleLine> lines = sale.lines;
  if (!sale.HasMember()) {
    PriceForOrdinaryCustomer(lines);
  } else if (sale.HasMemberPrice()) {
    PriceForMemberPrice(*db, lines);
  } else if (sale.HasMemberDiscount()) {
    PriceForMemberDiscount(*db, sale, lines);
  } else {
    return;
  }
  sale.lines = std::move(lines);
}

// A member that cannot be read gets no member pricing and no member flags.
std::string DescribeUnknownMember(CurrentSale& sale) {
  sale.points_member = false;
  sale.deposit_member = false;
  sale.member_dismode.clear();
  sale.member_disrate = 1.0;
  return std::string(kOrdinaryCustomer);
}

}  // namespace

bool NeedsMemberLookup(const CurrentSale& sale) {
  return sale.HasMemberPrice() || sale.HasMemberDiscount();
}

void ApplyMemberPricingToLines(store::Database& db, CurrentSale& sale) { PriceLines(&db, sale); }

void ApplyMemberPricingToLines(CurrentSale& sale) {
  if (!NeedsMemberLookup(sale)) {
    PriceLines(nullptr, sale);
    return;
  }
  store::Database db;
  PriceLines(&db, sale);
}

double ApplyMemberPricing(store::Database& db, CurrentSale& sale, CustomerDisplay& display) {
  ApplyMemberPricingToLines(db, sale);
  return ComputeTotal(sale, display);
}

double ApplyMemberPricing(CurrentSale& sale, CustomerDisplay& display) {
  ApplyMemberPricingToLines(sale);
  return ComputeTotal(sale, display);
}

std::string DescribeMember(store::Database& db, CurrentSale& sale, const std::string& memberid) {
  try {
    store::Statement row = db.Query(
        "select memberpointsmode,depositmode,dismode,ifnull(disrate,1) from membermaster "
        "where memberid = ?",
        memberid);
    if (row.Step()) {
      std::string text = lookups::MemberPaneText(db, memberid);
      sale.points_member = store::YesNo(row.Text(0));
      sale.deposit_member = store::YesNo(row.Text(1));
      sale.member_dismode = row.Text(2);
      sale.member_disrate = row.Double(3);
      return text;
    }
  } catch (const store::DbError&) {
    // Reads as an unknown member below.
  }
  return DescribeUnknownMember(sale);
}

std::string DescribeMember(CurrentSale& sale, const std::string& memberid) {
  try {
    store::Database db;
    return DescribeMember(db, sale, memberid);
  } catch (const store::DbError&) {
    return DescribeUnknownMember(sale);
  }
}

void AttachMember(CurrentSale& sale, SaleUi& ui, CustomerDisplay& display) {
  CurrentSale changed = sale;
  if (changed.HasMember()) {
    // Detaching drops the flags and the mode as well, so nothing of the member lingers
    // into the ordinary customer's sale.
    ClearMember(changed);
    changed.member_pane = std::string(kOrdinaryCustomer);
    ApplyMemberPricingToLines(changed);
  } else if (std::optional<std::string> memberid = ui.SelectMember()) {
    store::Database db;
    changed.member_id = *memberid;
    changed.member_pane = DescribeMember(db, changed, *memberid);
    ApplyMemberPricingToLines(db, changed);
  } else {
    ApplyMemberPricingToLines(changed);
  }
  sale = std::move(changed);
  ComputeTotal(sale, display);
}

}  // namespace sale
