#pragma once

// How goods move stock: a plain goods its own stock row, a combined goods the rows of its
// components (its own row stays as it is). The sale commit and the points gifts both move
// stock through this one rule, so a goods leaves the stock the same way whichever way it goes.

#include <string>

#include "core/store/database.h"

namespace sale {

// Moves stock on the caller's connection, inside its transaction. The statements are prepared
// once, so a whole sale moves its lines' stock without preparing them again per line.
class StockMover {
 public:
  // Throws store::DbError.
  explicit StockMover(store::Database& db);

  // Adds change (negative to lower) to the goods' stock; it may go below 0. A combined goods
  // moves each component by change × the component's quantity per unit, to the fen. A goods
  // without a stock row gets one, so no unit is lost; a barcode that is no goods (a component
  // deleted meanwhile) is left alone. Throws store::DbError.
  void Move(const std::string& barcode, double change, bool combined);

 private:
  void MoveRow(const std::string& barcode, double change);

  store::Database& db_;
  store::Statement update_;
  store::Statement insert_;
  store::Statement components_;
};

}  // namespace sale
