#pragma once

#include <string>
#include <vector>

#include "core/labels/label_fields.h"
#include "core/store/database.h"

namespace labels {

// The fixed layouts of the simple barcode print: goods labels three to a page, shelf labels
// one to a page.
inline constexpr int kGoodsLabelsPerPage = 3;

enum class SimpleSource { kClass, kPurchaseBill, kBarcode };

// The labels of a simple print run, in print order, with their goods columns:
//  - by class: every goods item of the class once, in the order entered;
//  - by purchase bill: for goods labels each line as many times as its quantity counted up
//    (2.5 gives 3, 0 none), for shelf labels each line once;
//  - by barcode: that one barcode.
// labelkind is kGoodsLabel or kShelfLabel. Throws store::DbError.
std::vector<LabelGoods> CollectSimpleLabels(store::Database& db, const std::string& labelkind,
                                            SimpleSource source, const std::string& value);

}  // namespace labels
