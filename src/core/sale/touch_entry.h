#pragma once

// What the touch cashier screen adds to the sale engine: a goods button that sells the goods
// it was filled from, and the numbers typed on its keypads, checked and handed to the same
// adjustments, discounts and petty cash the keyboard's commands use.

#include <string>
#include <string_view>

#include "core/sale/current_sale.h"
#include "core/sale/goods_entry.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

// A goods button: the goods of the button's barcode (never looked up by its name, which two
// goods may share), weighed first on the serial scale when they are scale goods, and asked
// for a price when they are priced 0. Cancelling the weighing or the price adds nothing;
// goods gone since the button was filled give "此商品无法销售". Never throws.
ScanResult AddGoodsByButton(CurrentSale& sale, const std::string& barcode, SaleUi& ui);
ScanResult AddGoodsByButton(store::Database& db, CurrentSale& sale, const std::string& barcode,
                            SaleUi& ui);

// The five modes of the number pad: what it is opened for.
enum class PadMode { kQuantity, kPrice, kPettyCash, kItemDiscount, kBillDiscount };

struct PadCaptions {
  std::string_view title;  // the dialog's title
  std::string_view label;  // the label beside the box
};
PadCaptions CaptionsOf(PadMode mode);

// A keypad's text read as a number: the centred dot of the price pad's "·" key is its decimal
// point.
std::string PadNumberText(const std::string& typed);

// "退格": the text without its last character, a whole UTF-8 character ("·" is two bytes),
// never a byte of one. Empty text stays empty.
std::string RemoveLastCharacter(const std::string& text);

// "确认" of the number pad: "录入有误!" for text that is not a number with at most three
// decimals; in the discount modes "折扣率不能为负数" below 0 and "折扣率不能大于1" above 1
// (rounded to 0.01). Empty when the text is accepted.
std::string CheckPadNumber(PadMode mode, const std::string& typed);

// The number pad's accepted text applied to the sale as its mode says: the selected line's
// quantity or unit price, an item or bill discount given as a rate (0.85 pays 85 %) followed
// by member pricing, or petty cash booked against the drawer. Totals afterwards. Every
// refusal is shown through ui ("计算有误" when kasso.db cannot be read) and leaves the sale as
// it was; false then, or when the cashier declined a large quantity. Never throws.
bool ApplyPadNumber(CurrentSale& sale, PadMode mode, const std::string& typed, SaleUi& ui,
                    CustomerDisplay& display);

}  // namespace sale
