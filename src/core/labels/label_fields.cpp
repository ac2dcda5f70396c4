#include "core/labels/label_fields.h"

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

// Length of the UTF-8 character starting with this byte.
size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string TruncateToBytes(const std::string& text, size_t max_bytes) {
  // The GBK form has one character for each character of the text (one GBK lacks becomes
  // "?"), so counting whole characters there tells how many UTF-8 characters to keep.
  const std::string gbk = kasso::Utf8ToGbk(text);
  size_t gbk_bytes = 0;
  size_t characters = 0;
  while (gbk_bytes < gbk.size() && gbk_bytes < max_bytes) {
    gbk_bytes += static_cast<unsigned char>(gbk[gbk_bytes]) >= 0x81 ? 2 : 1;
    ++characters;
  }
  size_t end = 0;
  for (size_t i = 0; i < characters && end < text.size(); ++i) {
    end += Utf8Length(static_cast<unsigned char>(text[end]));
  }
  return text.substr(0, std::min(end, text.size()));
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
      return kasso::Money(goods.salesprice);
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
