#pragma once

// The service library's goods look-ups by barcode. Functions that take a store::Database run on the
// caller's open connection, so an operation opens kasso.db once; the forms without it open and
// close the file themselves and answer the "nothing found" value (false, 0, "") when it cannot be
// read.

#include <optional>
#include <string>

#include "core/store/database.h"

namespace servicelib {

struct GoodsInfo {
  std::string goodsname;
  std::string unit;
  double salesprice = 0;
  double memberprice = 0;
};

bool IfBarcodeExist(store::Database& db, const std::string& barcode);
bool IfBarcodeExist(const std::string& barcode);
bool IfScaleGoods(store::Database& db, const std::string& barcode);
bool IfScaleGoods(const std::string& barcode);
bool IfCombinedGoods(store::Database& db, const std::string& barcode);
bool IfCombinedGoods(const std::string& barcode);
bool IsGoodsGivePoints(store::Database& db, const std::string& barcode);
bool IsGoodsGivePoints(const std::string& barcode);
double GetSalesPrice(store::Database& db, const std::string& barcode);
double GetSalesPrice(const std::string& barcode);
// The member price of a goods item; 0 when it has none.
double GetMemberPrice(store::Database& db, const std::string& barcode);
double GetMemberPrice(const std::string& barcode);
std::optional<GoodsInfo> GetGoodsInfoFromBarcode(store::Database& db, const std::string& barcode);
std::optional<GoodsInfo> GetGoodsInfoFromBarcode(const std::string& barcode);
std::string GetGoodsnameFromBarcode(store::Database& db, const std::string& barcode);
std::string GetGoodsnameFromBarcode(const std::string& barcode);
// The barcode of the first goods entered under that name; empty when none.
std::string GetBarcodeFromGoodsName(store::Database& db, const std::string& name);
std::string GetBarcodeFromGoodsName(const std::string& name);

// GetSalesPrice, IfCombinedGoods and IsGoodsGivePoints of one goods item in one look-up, for a
// sale's commit, which asks all three for every line. Holds its statement prepared on the
// caller's connection, so it lives no longer than the operation.
struct GoodsSaleFacts {
  double salesprice = 0;
  bool combined = false;
  bool gives_points = false;
};
class GoodsSaleFactsReader {
 public:
  explicit GoodsSaleFactsReader(store::Database& db);
  GoodsSaleFacts Read(const std::string& barcode);

 private:
  store::Statement statement_;
};

}  // namespace servicelib
