#include "core/sale/goods_entry.h"

#include <algorithm>

#include "core/common/format.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/sale/quick_goods.h"
#include "core/sale/refusals.h"
#include "core/settings/settings.h"
#include "core/store/yes_no.h"

namespace sale {
namespace {

using lookups::RoundTo;

bool AllDigits(std::string_view text) {
  return std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

// The fields every new line starts with; pricing fills price, rates and amounts.
SaleLine NewLine(const LineGoods& goods, const std::string& quantity, double salesprice) {
  SaleLine line;
  line[kBarcode] = goods.barcode;
  line[kGoodsName] = goods.goodsname;
  line[kUnit] = goods.unit;
  line[kQuantity] = quantity;
  line[kSalesPrice] = MoneyText(salesprice);
  line[kMemberPrice] = MoneyText(goods.memberprice);
  line[kFrontPrice] = MoneyText(salesprice);
  line[kPrice] = MoneyText(salesprice);
  line[kFrontRate] = "1.00";
  line[kMemberRate] = "1.00";
  line[kRate] = "1.00";
  return line;
}

void AppendSelected(CurrentSale& sale, SaleLine line) {
  sale.lines.push_back(std::move(line));
  sale.selected = static_cast<int>(sale.lines.size()) - 1;
}

bool AddLineFor(store::Database& db, CurrentSale& sale, const std::string& text, SaleUi& ui) {
  // The look-ups of a scan share one read transaction; it ends before any question is asked
  // and before the quick goods entry writes.
  store::ReadTransaction read(db);
  ScanSettings settings = ReadScanSettings(db);
  if (std::optional<ScaleBarcode> scale = ParseScaleBarcode(text, settings)) {
    std::optional<LineGoods> goods = FindLineGoods(db, scale->goods_code);
    if (!goods) {
      read.End();
      ui.Message(kCannotSell);
      return false;
    }
    AppendScaleLine(db, sale, *goods, scale->amount);
    return true;
  }

  std::optional<LineGoods> goods = FindLineGoods(db, text);
  read.End();
  if (!goods) {
    bool use_item_library = ui.AskYesNo("新条码,是否查询条码库?");
    EnterQuickGoods(db, text, use_item_library, ui);
    goods = FindLineGoods(db, text);
    if (!goods) {
      ui.Message(kCannotSell);
      return false;
    }
  }
  if (goods->salesprice == 0) {
    // Cancelling leaves the price at 0 and still sells the goods, as a gift would be.
    if (std::optional<double> price = ui.EnterPrice()) goods->salesprice = *price;
  }
  std::optional<std::string> quantity = LineQuantity(settings, *goods, ui);
  if (!quantity) return false;
  AppendGoodsLine(db, sale, *goods, *quantity);
  return true;
}

}  // namespace

std::optional<std::string> LineQuantity(const ScanSettings& settings, const LineGoods& goods,
                                        SaleUi& ui) {
  if (!settings.serial_scale || !goods.is_scale_goods) return "1.00";
  std::optional<std::string> weight = ui.ConfirmWeight(goods.goodsname);
  // A cancelled weighing sells nothing: a line without a quantity could not be committed.
  if (!weight) return std::nullopt;
  if (!lookups::ReadTypedNumber(*weight, lookups::TillNumber::kQuantity)) {
    ui.Message("重量有误");
    return std::nullopt;
  }
  return weight;
}

// A goods item that could not be read is not for sale, unless the file was only busy: then
// the same scan may succeed in a moment.
ScanResult ReportUnreadable(const store::DbError& error, SaleUi& ui) {
  if (IsBusy(error)) {
    ui.Message(kDatabaseBusy);
    return ScanResult::kBusy;
  }
  ui.Message(kCannotSell);
  return ScanResult::kNotAdded;
}

ScanSettings ReadScanSettings(store::Database& db) {
  ScanSettings scan;
  try {
    const settings::Settings till = settings::LoadSettings(db);
    scan.serial_scale = till.serial_scale;
    // Digit counts that were never stored read as 0, which recognises no scale barcode.
    scan.scale_barcodes = till.scale_barcodes;
    scan.scale_flag = till.scale_flag;
    scan.code_digits = till.scale_code_digits;
    scan.amount_digits = till.scale_amount_digits;
  } catch (const store::DbError& error) {
    if (IsBusy(error)) throw;
    return ScanSettings{};
  }
  return scan;
}

std::optional<ScaleBarcode> ParseScaleBarcode(const std::string& text,
                                              const ScanSettings& settings) {
  if (!settings.scale_barcodes || settings.code_digits <= 0 || settings.amount_digits <= 0) {
    return std::nullopt;
  }
  const std::string& flag = settings.scale_flag;
  size_t expected = flag.size() + static_cast<size_t>(settings.code_digits) +
                    static_cast<size_t>(settings.amount_digits) + 1;
  if (text.size() <= flag.size() || !text.starts_with(flag) || text.size() != expected) {
    return std::nullopt;
  }
  std::string_view amount_digits =
      std::string_view(text).substr(flag.size() + static_cast<size_t>(settings.code_digits),
                                    static_cast<size_t>(settings.amount_digits));
  if (!AllDigits(amount_digits)) return std::nullopt;
  double fen = 0;
  for (char c : amount_digits) fen = fen * 10 + (c - '0');
  return ScaleBarcode{text.substr(flag.size(), static_cast<size_t>(settings.code_digits)),
                      RoundTo(fen / 100.0, 2)};
}

std::optional<LineGoods> FindLineGoods(store::Database& db, const std::string& barcode) {
  store::Statement row = db.Query(
      "select a.goodsname,a.salesprice,a.unit,a.memberprice,a.isscalegoods from goodsmaster a "
      "where a.barcode = ?",
      barcode);
  if (!row.Step()) return std::nullopt;
  return LineGoods{barcode,       row.Text(0),   row.Text(2),
                   row.Double(1), row.Double(3), store::YesNo(row.Text(4))};
}

void AppendGoodsLine(store::Database& db, CurrentSale& sale, const LineGoods& goods,
                     const std::string& quantity) {
  double salesprice = RoundTo(goods.salesprice, 2);
  double q = RoundTo(kasso::ParseNumber(quantity), 3);
  SaleLine line = NewLine(goods, quantity, salesprice);
  if (sale.HasMemberDiscount()) {
    double rate = RoundTo(lookups::MemberDiscountRate(db, sale.member_id), 2);
    line[kMemberRate] = MoneyText(rate);
    line[kRate] = MoneyText(rate);
    SetLineAmounts(line, rate, salesprice, q);
  } else if (sale.HasMemberPrice()) {
    // Goods without a member price sell at the sales price, and a member price above the
    // sales price never costs the member more: the same rule member pricing applies later.
    double memberprice = RoundTo(goods.memberprice, 2);
    if (memberprice == 0) memberprice = salesprice;
    double price = std::min({salesprice, memberprice, salesprice});
    line[kMemberPrice] = MoneyText(memberprice);
    line[kPrice] = MoneyText(price);
    SetLineAmounts(line, 1.0, price, q);
  } else {
    SetLineAmounts(line, 1.0, salesprice, q);
  }
  AppendSelected(sale, std::move(line));
}

void AppendScaleLine(store::Database& db, CurrentSale& sale, const LineGoods& goods,
                     double amount) {
  double salesprice = RoundTo(goods.salesprice, 2);
  double q = 1.0;
  if (salesprice == 0) {
    // Without a unit price the weight cannot be told: the line is one piece at the printed
    // amount, so every later repricing (discounts, members) still starts from that amount
    // instead of from a zero price that would sell the goods for nothing.
    salesprice = RoundTo(amount, 2);
  } else {
    q = RoundTo(amount / salesprice, 3);
  }
  SaleLine line = NewLine(goods, kasso::Fixed(q, 3), salesprice);
  line[kAmount] = MoneyText(amount);
  line[kDiscountAmount] = "0.00";
  // A scale barcode takes no member price; a member discount rate does apply.
  if (sale.HasMemberDiscount()) {
    double rate = RoundTo(lookups::MemberDiscountRate(db, sale.member_id), 2);
    line[kMemberRate] = MoneyText(rate);
    line[kRate] = MoneyText(rate);
    SetLineAmounts(line, rate, salesprice, q);
  }
  AppendSelected(sale, std::move(line));
}

ScanResult AddGoodsByBarcode(store::Database& db, CurrentSale& sale, const std::string& text,
                             SaleUi& ui) {
  try {
    return AddLineFor(db, sale, text, ui) ? ScanResult::kAdded : ScanResult::kNotAdded;
  } catch (const store::DbError& error) {
    return ReportUnreadable(error, ui);
  }
}

ScanResult AddGoodsByBarcode(CurrentSale& sale, const std::string& text, SaleUi& ui) {
  try {
    store::Database db;
    return AddGoodsByBarcode(db, sale, text, ui);
  } catch (const store::DbError& error) {
    return ReportUnreadable(error, ui);
  }
}

}  // namespace sale
