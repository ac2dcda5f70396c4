#pragma once

#include <string>
#include <vector>

#include "core/store/database.h"

namespace labels {

// The class tree's entry that lists every goods item.
inline constexpr const char* kAllClasses = "全部";

struct GoodsRow {
  std::string barcode;
  std::string goodsname;
  std::string unit;
  std::string goodsclass;
};

// One line of the label selection (goodsbatchselect) with its goods columns.
struct BatchLine {
  std::string barcode;
  std::string goodsname;
  std::string unit;
  std::string goodsclass;
  int quantity = 1;  // labels to print
  double salesprice = 0;
};

// The goods of a class in the order entered; every goods item for kAllClasses.
std::vector<GoodsRow> ListGoodsOfClass(store::Database& db, const std::string& classname);

// The selection in the order it was made.
std::vector<BatchLine> ListBatch(store::Database& db);

// Adds the barcodes with one label each, skipping those already selected, in one transaction.
// Returns how many were added. Throws common::UserError "请选择要打印的商品" for none.
int AddToBatch(store::Database& db, const std::vector<std::string>& barcodes);

void SetBatchQuantity(store::Database& db, const std::string& barcode, int quantity);
void RemoveFromBatch(store::Database& db, const std::string& barcode);

// A typed label count: "请录入数量" when empty, "数量录入有误" when not a number, "数量必须大于0"
// when its whole part is below 1 (common::UserError). Returns the whole part.
int CheckLabelCount(const std::string& text);

}  // namespace labels
