#pragma once

// Saving the goods editor: the checks in the editor's order, then one transaction that writes
// the goods, its stock row when it is new, and its components when it is combined.

#include <string>
#include <string_view>

#include "core/backoffice/goods/goods_master.h"

namespace backoffice {

// What a goods save tells the person at the editor on its way, and asks.
class GoodsSaveUi {
 public:
  virtual ~GoodsSaveUi() = default;
  // Informs and goes on.
  virtual void Note(std::string_view text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;
};

// Asked before a save changes a stored goods the editor was not showing.
inline constexpr const char* kReplaceQuestion = "该条码已存在,是否修改?";

// The field a refused save names when a combined goods has no components yet: the screen opens
// the component editor instead of focusing a field.
inline constexpr const char* kComponentsField = "components";

struct GoodsSaved {
  bool written = true;    // false: the person kept the stored goods and nothing was written
  bool updated = false;   // an existing goods was changed (else one was added)
  std::string new_class;  // the goods' class when no goods had it before; else empty
};

// Checks the fields (ValidateGoods) and stores them: an existing barcode is updated (never its
// opening stock, average import price or recording date), a new one inserted with its stock
// row. shown_barcode is the stored goods the editor shows (loaded to be modified, or by Enter
// on its barcode), empty for a new goods: a save that would change any other stored goods asks
// kReplaceQuestion first, and No writes nothing. A combined goods takes its components from
// the editor's work table, which the save empties. Also remembers the item-library check box.
// Throws common::ValidationError naming the field (those of ValidateGoods or kComponentsField)
// with nothing written, and common::UserError "商品保存有误，请确认录入信息" when the database
// refuses the writes (all rolled back).
GoodsSaved SaveGoods(const GoodsFields& fields, const std::string& shown_barcode,
                     bool use_item_library, GoodsSaveUi& ui);

}  // namespace backoffice
