#include "core/sale/suspended.h"

#include <algorithm>
#include <string>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/goods.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/lookups/till_numbers.h"
#include "core/sale/member_pricing.h"
#include "core/sale/sale_lines.h"
#include "core/store/database.h"

namespace sale {
namespace {

using lookups::RoundTo;

// How the parked sale's member prices its lines.
struct MemberTerms {
  double rate = 1.0;  // the member rate column
  bool discount_on_discount = false;
};

MemberTerms ReadMemberTerms(store::Database& db, const CurrentSale& sale) {
  MemberTerms terms;
  if (!sale.HasMemberDiscount()) return terms;
  terms.rate = RoundTo(lookups::MemberDiscountRate(db, sale.member_id), 2);
  terms.discount_on_discount = lookups::HasDiscountOnDiscount(db, sale.member_id);
  return terms;
}

// One parked row back as a priced line: the smallest of sales, member and front price, and
// the front rate against the member rate.
SaleLine RebuildLine(const store::Statement& row, const lookups::GoodsInfo& goods,
                     const CurrentSale& sale, const MemberTerms& terms) {
  double quantity = row.Double(1);
  // Rows parked before the front rate was kept carry none: no front discount.
  double front_rate = row.IsNull(3) ? 1.0 : RoundTo(row.Double(3), 2);
  double front_price = RoundTo(row.Double(2), 2);
  double salesprice = RoundTo(goods.salesprice, 2);
  // Goods priced 0 in the master were priced by hand when rung up; that price was parked as
  // the front price and stays the line's sales price.
  if (salesprice == 0) salesprice = front_price;
  if (row.IsNull(2)) front_price = salesprice;
  double memberprice = salesprice;
  // A goods item without member price sells to a member-price member at the sales price.
  if (sale.HasMemberPrice() && goods.memberprice != 0) {
    memberprice = RoundTo(goods.memberprice, 2);
  }

  SaleLine line;
  line[kBarcode] = row.Text(0);
  line[kGoodsName] = goods.goodsname;
  line[kUnit] = goods.unit;
  line[kQuantity] = kasso::Fixed(quantity, 3);
  line[kSalesPrice] = MoneyText(salesprice);
  line[kMemberPrice] = MoneyText(memberprice);
  line[kFrontPrice] = MoneyText(front_price);
  line[kFrontRate] = MoneyText(front_rate);
  line[kMemberRate] = MoneyText(terms.rate);
  double price = std::min({salesprice, memberprice, front_price});
  double rate = terms.discount_on_discount ? RoundTo(front_rate * terms.rate, 2)
                : terms.rate < front_rate  ? terms.rate
                                           : front_rate;
  line[kPrice] = MoneyText(price);
  line[kRate] = MoneyText(rate);
  SetLineAmounts(line, rate, price, quantity);
  return line;
}

// Fills the empty sale with parked sale k: its member first, so the lines are priced for it.
// Throws kasso::UserError for goods that can no longer be sold, store::DbError otherwise.
void RebuildParkedSale(store::Database& db, std::int64_t listnumber, CurrentSale& sale) {
  std::string memberid = lookups::ParkedSaleMember(db, listnumber);
  if (!memberid.empty() && lookups::HasMember(db, memberid)) {
    sale.member_id = memberid;
    sale.member_pane = DescribeMember(db, sale, memberid);
  }
  MemberTerms terms = ReadMemberTerms(db, sale);
  store::Statement row = db.Query(
      "select barcode,quantity,frontprice,frontdisrate from transactionpendinglist "
      "where listnumber = ? order by rowid",
      listnumber);
  while (row.Step()) {
    std::optional<lookups::GoodsInfo> goods = lookups::FindGoods(db, row.Text(0));
    if (!goods) throw kasso::UserError("挂单商品" + row.Text(0) + "无法销售");
    sale.lines.push_back(RebuildLine(row, *goods, sale, terms));
    sale.selected = static_cast<int>(sale.lines.size()) - 1;
  }
  if (sale.lines.empty()) throw store::DbError("no parked lines under that number");
}

}  // namespace

bool SuspendSale(CurrentSale& sale, SaleUi& ui, CustomerDisplay& display) {
  if (sale.lines.empty()) {
    ui.Message("没有销售，无法挂单");
    return false;
  }
  try {
    store::Database db;
    store::Transaction transaction(db);
    std::int64_t listnumber = lookups::NextParkedNumber(db);
    std::string now = kasso::NowText();
    store::Statement insert = db.Query(
        "insert into transactionpendinglist (listnumber,barcode,quantity,frontprice,"
        "frontdisrate,memberid,transdatetime) values (?,?,?,?,?,?,?)");
    for (const SaleLine& line : sale.lines) {
      insert.Reset();
      insert.BindAll(listnumber, line[kBarcode], line.Number(kQuantity), line.Number(kFrontPrice),
                     line.Number(kFrontRate), sale.member_id, now);
      insert.Run();
    }
    transaction.Commit();
  } catch (const store::DbError&) {
    // Clearing the screen now would lose the sale: it stays, to be parked or settled.
    ui.Message("挂单写入有误");
    return false;
  }
  NewSale(sale);
  try {
    display.ShowTotal(0);
  } catch (...) {
    // The pole display never stops the till.
  }
  return true;
}

bool RetrieveSale(CurrentSale& sale, SaleUi& ui, CustomerDisplay& display,
                  const ParkedSaleChooser& choose) {
  if (!sale.lines.empty()) {
    ui.Message("有未结账的流水,不能取回挂单");
    return false;
  }
  std::optional<std::int64_t> listnumber = choose();
  if (!listnumber) return false;
  CurrentSale restored = sale;
  try {
    store::Database db;
    // Reading and deleting in one write transaction: the rows deleted are the rows read.
    store::Transaction transaction(db);
    RebuildParkedSale(db, *listnumber, restored);
    db.Exec("delete from transactionpendinglist where listnumber = ?", *listnumber);
    transaction.Commit();
  } catch (const kasso::UserError& error) {
    ui.Message(error.what());
    return false;
  } catch (const store::DbError&) {
    ui.Message("挂单取回有误");
    return false;
  }
  sale = std::move(restored);
  ComputeTotal(sale, display);
  return true;
}

}  // namespace sale
