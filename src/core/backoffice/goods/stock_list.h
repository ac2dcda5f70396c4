#pragma once

// The stock screen's list: every goods of a class with its stock and the value of that stock,
// and one total over the same goods.

#include <optional>
#include <string>
#include <vector>

namespace backoffice {

struct StockRow {
  std::string barcode;
  std::string goodsname;
  std::string unit;
  std::string class_name;
  double quantity = 0;  // 0 when the goods has no stock row
  double cost = 0;      // the stock valued at the goods' cost price, to the fen
};

struct StockList {
  std::vector<StockRow> rows;  // in the order the goods were entered
  double total_quantity = 0;
  double total_cost = 0;
};

// The goods of the class (nullopt: of every class) with stock and stock value. The value is
// the average import price times the stock when the till costs by average price
// ("averageprice"), else the most recent import price times the stock, rounded to the fen. The
// totals add up exactly the rows listed: the value total is the sum of the rows' values as
// shown. Throws store::DbError.
StockList LoadStockList(const std::optional<std::string>& class_name);

}  // namespace backoffice
