#include "core/labels/label_fields.h"

#include <algorithm>

#include "core/common/format.h"
#include "core/common/text_encoding.h"

namespace labels {

const std::array<FieldInfo, kFieldCount> kFields = {{
    {"商品条码", "商品条码", ""},
    {"商品名称", "商品名称", "名称:"},
    {"售价", "售价", "售价:"},
    {"单位", "单位", "单位:"},
    {"类别", "类别", "类别:"},
    {"是否称重", "是否称重商品", "称重:"},
    {"PLU编号", "PLU编号", "PLU:"},
}};

namespace {

constexpr size_t kNameBytes = 100;
constexpr size_t kSimpleNameBytes = 14;
constexpr char32_t kJoiner = 0x200D;

// Length of the UTF-8 character starting with this byte.
size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// The code point at `at` of UTF-8 text; `length` is set to its bytes, as many as the lead byte
// announces (so a broken sequence is skipped whole, as the GBK conversion skips it).
char32_t CodePointAt(const std::string& text, size_t at, size_t& length) {
  const auto lead = static_cast<unsigned char>(text[at]);
  length = std::min(Utf8Length(lead), text.size() - at);
  if (length == 1) return lead;
  char32_t c = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i)
    c = (c << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
  return c;
}

// Code points that belong to the character before them, so a cut never parts them from it:
// combining marks, variation selectors, skin tones and the joiner of joined emoji.
bool ExtendsPrevious(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) ||
         (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0100 && c <= 0xE01EF) || c == kJoiner;
}

}  // namespace

std::string TruncateToBytes(const std::string& text, size_t max_bytes) {
  // The GBK form has one character for each character of the text (one GBK lacks becomes
  // "?"), so counting whole characters there tells how many UTF-8 characters to keep.
  const std::string gbk = common::Utf8ToGbk(text);
  size_t gbk_bytes = 0;
  size_t characters = 0;
  while (gbk_bytes < gbk.size() && gbk_bytes < max_bytes) {
    gbk_bytes += static_cast<unsigned char>(gbk[gbk_bytes]) >= 0x81 ? 2 : 1;
    ++characters;
  }
  size_t end = 0;
  size_t length = 0;
  for (size_t i = 0; i < characters && end < text.size(); ++i) {
    CodePointAt(text, end, length);
    end += length;
  }
  // What the cut would part from the last character goes with it (a joiner takes the next).
  bool joined = false;
  while (end < text.size()) {
    const char32_t c = CodePointAt(text, end, length);
    if (!joined && !ExtendsPrevious(c)) break;
    joined = c == kJoiner;
    end += length;
  }
  return text.substr(0, end);
}

std::string SimpleLabelName(const std::string& goodsname) {
  std::string name = goodsname;
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
  return TruncateToBytes(name, kSimpleNameBytes);
}

std::string FieldValue(FieldKey key, const LabelGoods& goods) {
  switch (key) {
    case kBarcode:
      return goods.barcode;
    case kGoodsName:
      return TruncateToBytes(goods.goodsname, kNameBytes);
    case kPrice:
      return common::Money(goods.salesprice);
    case kUnit:
      return goods.unit;
    case kGoodsClass:
      return goods.goodsclass;
    case kScaleGoods:
      return goods.isscalegoods;
    case kPlu:
      return std::to_string(goods.pluno);
  }
  return {};
}

}  // namespace labels
