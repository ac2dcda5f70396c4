#pragma once

// Creating a goods item on the spot for a barcode the till does not know, and the price
// typed for goods priced 0.

#include <string>
#include <string_view>

#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

inline constexpr std::string_view kQuickGoodsSaveFailed = "商品保存有误，请确认录入信息";

// What the quick goods entry opens with: the item library's name for the barcode when the
// look-up is wanted and finds one, else no name; no price. The cashier types what is missing,
// so two Enters never create goods under a made-up name and price. Never throws.
QuickGoods SuggestQuickGoods(store::Database& db, const std::string& barcode,
                             bool use_item_library);

// Checks the typed name and price before anything is saved: an empty name gives
// "名称不能为空" (field "name"), an empty price "价格不能为空", a price that is not a number
// of at least 0 "商品保存有误，请确认录入信息" (both field "price"); common::ValidationError.
void CheckQuickGoods(const QuickGoods& goods);

// Writes the goods row (unit "个", class "未分类", the price as sales and member price) and
// its stock row (0) in one transaction. Refuses what CheckQuickGoods refuses; a failing
// database throws common::UserError("商品保存有误，请确认录入信息"). Nothing is written then.
void SaveQuickGoods(store::Database& db, const QuickGoods& goods);

// Asks for the goods of an unknown barcode and saves them. A refused save is explained and
// the entry opens again with what was typed, until it is saved or cancelled.
// Returns true when the goods were saved.
bool EnterQuickGoods(store::Database& db, const std::string& barcode, bool use_item_library,
                     SaleUi& ui);

// Checks the price entry's text: empty -> "请录入价格", not a number of at least 0 ->
// "价格有误" (common::ValidationError for the field "price"). Returns the price to the fen.
double CheckPriceEntry(const std::string& text);

}  // namespace sale
