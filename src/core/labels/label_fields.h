#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace labels {

// The seven things a label can show, in the order of the designer's field list.
enum FieldKey { kBarcode, kGoodsName, kPrice, kUnit, kGoodsClass, kScaleGoods, kPlu };
inline constexpr int kFieldCount = 7;

struct FieldInfo {
  const char* tempname;      // its name in labeltemplate
  const char* list_caption;  // its name in the designer's field list
  const char* caption;       // printed before the value when captions are on
};

// Indexed by FieldKey.
extern const std::array<FieldInfo, kFieldCount> kFields;

// The goods columns a label prints, read by barcode from goodsmaster. A barcode without a
// goods row prints its bars and empty texts.
struct LabelGoods {
  std::string barcode;
  std::string goodsname;
  std::string unit;
  std::string goodsclass;
  std::string isscalegoods;
  double salesprice = 0;
  std::int64_t pluno = 0;
};

// The value one field prints for one goods item: the name cut to whole characters within
// 100 GBK bytes, the price with two decimals, the others as stored.
std::string FieldValue(FieldKey key, const LabelGoods& goods);

// Whole characters from the start of UTF-8 text, counted in GBK bytes (two for a Chinese
// character, one for ASCII): copying stops as soon as the count reaches or passes max_bytes,
// so a double-byte character may end one byte past it. A character is never split, nor parted
// from the marks that belong to it (combining accents, variation selectors, joined emoji).
std::string TruncateToBytes(const std::string& text, size_t max_bytes);

// The name on a simple goods label: trailing blanks dropped, then cut to 14 bytes.
std::string SimpleLabelName(const std::string& goodsname);

}  // namespace labels
