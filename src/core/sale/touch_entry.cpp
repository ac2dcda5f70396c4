#include "core/sale/touch_entry.h"

#include <array>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/numbers.h"
#include "core/sale/adjustments.h"
#include "core/sale/sale_lines.h"
#include "core/sale/till_duties.h"

namespace sale {
namespace {

using lookups::TillNumber;

constexpr std::string_view kCentredDot = "·";

bool IsDiscount(PadMode mode) {
  return mode == PadMode::kItemDiscount || mode == PadMode::kBillDiscount;
}

bool AddButtonGoods(store::Database& db, CurrentSale& sale, const std::string& barcode,
                    SaleUi& ui) {
  store::ReadTransaction read(db);
  ScanSettings settings = ReadScanSettings(db);
  std::optional<LineGoods> goods = FindLineGoods(db, barcode);
  read.End();
  if (!goods) {
    ui.Message(kCannotSell);
    return false;
  }
  std::optional<std::string> quantity = LineQuantity(settings, *goods, ui);
  if (!quantity) return false;
  if (goods->salesprice == 0) {
    std::optional<double> price = ui.EnterPrice();
    if (!price) return false;
    goods->salesprice = *price;
  }
  AppendGoodsLine(db, sale, *goods, *quantity);
  return true;
}

// The pad's value, refused with the mode's own message when it is no number a till holds.
double PadValue(const std::string& typed, TillNumber kind, const char* refusal) {
  return lookups::TypedNumber(PadNumberText(typed), kind, refusal);
}

// Returns false when the change was declined and nothing else should follow.
bool Apply(CurrentSale& sale, PadMode mode, const std::string& typed, SaleUi& ui,
           CustomerDisplay& display) {
  switch (mode) {
    case PadMode::kQuantity:
      return ChangeQuantity(sale, PadValue(typed, TillNumber::kQuantity, "数量有误"), ui);
    case PadMode::kPrice:
      ChangePrice(sale, PadValue(typed, TillNumber::kAmount, "价格有误"));
      return true;
    case PadMode::kItemDiscount:
    case PadMode::kBillDiscount: {
      // The engine takes a discount in tenths, as typed after "/" and "%"; the rate is kept
      // to the fen as the pad checked it.
      const double rate = lookups::RoundTo(PadValue(typed, TillNumber::kAmount, "折扣率有误"), 2);
      const double tenths = rate * 10;
      if (mode == PadMode::kItemDiscount) {
        ItemDiscount(sale, tenths);
      } else {
        BillDiscount(sale, tenths);
      }
      return true;
    }
    case PadMode::kPettyCash:
      return PettyCash(sale, PadNumberText(typed), ui, display) == EntryOutcome::kDone;
  }
  return false;
}

}  // namespace

ScanResult AddGoodsByButton(store::Database& db, CurrentSale& sale, const std::string& barcode,
                            SaleUi& ui) {
  try {
    return AddButtonGoods(db, sale, barcode, ui) ? ScanResult::kAdded : ScanResult::kNotAdded;
  } catch (const store::DbError& error) {
    return ReportUnreadable(error, ui);
  }
}

ScanResult AddGoodsByButton(CurrentSale& sale, const std::string& barcode, SaleUi& ui) {
  try {
    store::Database db;
    return AddGoodsByButton(db, sale, barcode, ui);
  } catch (const store::DbError& error) {
    return ReportUnreadable(error, ui);
  }
}

PadCaptions CaptionsOf(PadMode mode) {
  static constexpr std::array<PadCaptions, 5> kCaptions = {{
      {"数量", "数量"},
      {"单价", "单价"},
      {"备用金", "备用金"},
      {"单品折扣", "折扣率"},
      {"整单折扣", "折扣率"},
  }};
  return kCaptions.at(static_cast<size_t>(mode));
}

std::string PadNumberText(const std::string& typed) {
  std::string text = typed;
  for (size_t at = text.find(kCentredDot); at != std::string::npos; at = text.find(kCentredDot)) {
    text.replace(at, kCentredDot.size(), ".");
  }
  return text;
}

std::string RemoveLastCharacter(const std::string& text) {
  size_t end = text.size();
  if (end == 0) return text;
  // Step back over UTF-8 continuation bytes (10xxxxxx) to the character's first byte.
  do {
    --end;
  } while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80);
  return text.substr(0, end);
}

std::string CheckPadNumber(PadMode mode, const std::string& typed) {
  const std::string text = PadNumberText(typed);
  if (!lookups::IsPlainNumberTo3Places(text)) return "录入有误!";
  if (IsDiscount(mode)) {
    const double rate = lookups::RoundTo(kasso::ParseNumber(text), 2);
    if (rate < 0) return "折扣率不能为负数";
    if (rate > 1) return "折扣率不能大于1";
  }
  return "";
}

bool ApplyPadNumber(CurrentSale& sale, PadMode mode, const std::string& typed, SaleUi& ui,
                    CustomerDisplay& display) {
  try {
    if (!Apply(sale, mode, typed, ui, display)) return false;
  } catch (const kasso::UserError& error) {
    ui.Message(error.what());
    return false;
  } catch (const store::DbError&) {
    ui.Message("计算有误");
    return false;
  }
  ComputeTotal(sale, display);
  return true;
}

}  // namespace sale
