#pragma once

// Creating a goods item on the spot for a barcode the till does not know, and the price
// typed for goods priced 0.

#include <string>
#include <string_view>

#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

inline constexpr std::string_view kQuickGoodsName = "商品";
inline constexpr std::string_view kQuickGoodsPrice = "1";
inline constexpr std::string_view kQuickGoodsSaveFailed = "商品保存有误，请确认录入信息";

// What the quick goods entry opens with: the item library's name for the barcode when the
// look-up is wanted and finds one, else "商品"; the price "1". Never throws.
QuickGoods SuggestQuickGoods(store::Database& db, const std::string& barcode,
                             bool use_item_library);

// Writes the goods row (unit "个", class "未分类", the price as sales and member price) and
// its stock row (0) in one transaction. A price that is not a number of at least 0, or a
// failing database, throws kasso::UserError("商品保存有误，请确认录入信息") and writes nothing.
void SaveQuickGoods(store::Database& db, const QuickGoods& goods);

// Asks for the goods of an unknown barcode and saves them. A refused save is explained and
// the entry opens again with what was typed, until it is saved or cancelled.
// Returns true when the goods were saved.
bool EnterQuickGoods(store::Database& db, const std::string& barcode, bool use_item_library,
                     SaleUi& ui);

// Checks the price entry's text: empty -> "请录入价格", not a number of at least 0 ->
// "价格有误" (kasso::ValidationError for the field "price"). Returns the price to the fen.
double CheckPriceEntry(const std::string& text);

}  // namespace sale
