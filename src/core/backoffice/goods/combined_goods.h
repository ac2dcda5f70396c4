#pragma once

// The components of the combined goods in the goods editor, kept in the work table
// combinedgoodstemp until the goods is saved.

#include <string>
#include <vector>

namespace backoffice {

struct ComponentRow {
  std::string barcode;
  std::string goodsname;  // empty when the component goods no longer exists
  double quantity = 0;
};

// The components entered so far. Throws store::DbError.
std::vector<ComponentRow> LoadComponents();

struct ComponentLine {
  std::string goodsname;
  std::string quantity;  // empty when the component is not in the work table yet
};

// What the entry shows for a barcode typed as a component of combined_barcode. Throws
// common::UserError "组合商品下线不能是自己", "此商品不存在" or "组合商品下线不能是组合商品",
// and store::DbError.
ComponentLine LoadComponent(const std::string& combined_barcode, const std::string& barcode);

// Sets the component's quantity in the work table, adding it when it is new. Throws
// common::ValidationError naming "barcode" or "quantity" with nothing written, and
// store::DbError.
void SaveComponent(const std::string& combined_barcode, const std::string& barcode,
                   const std::string& quantity);

// Removes the component from the work table. Throws store::DbError.
void DeleteComponent(const std::string& barcode);

// Empties the work table, as the editor does when it starts adding a goods.
void CombinedGoodsClear();

}  // namespace backoffice
