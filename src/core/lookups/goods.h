#pragma once

// Goods look-ups by barcode, on the caller's open connection (an operation opens kasso.db once).
// A barcode the shop does not have answers the "nothing found" value (false, 0, "").

#include <optional>
#include <string>

#include "core/store/database.h"

namespace lookups {

struct GoodsInfo {
  std::string goodsname;
  std::string unit;
  double salesprice = 0;
  double memberprice = 0;
};

bool HasGoods(store::Database& db, const std::string& barcode);
bool IsScaleGoods(store::Database& db, const std::string& barcode);
bool IsCombinedGoods(store::Database& db, const std::string& barcode);
bool GoodsEarnPoints(store::Database& db, const std::string& barcode);
double SalesPrice(store::Database& db, const std::string& barcode);
// The member price of a goods item; 0 when it has none.
double MemberPrice(store::Database& db, const std::string& barcode);
std::optional<GoodsInfo> FindGoods(store::Database& db, const std::string& barcode);
std::string GoodsName(store::Database& db, const std::string& barcode);
// The barcode of the first goods entered under that name; empty when none.
std::string BarcodeOfGoodsName(store::Database& db, const std::string& name);

// SalesPrice, IsCombinedGoods and GoodsEarnPoints of one goods item in one look-up, for a
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

}  // namespace lookups
