#include "core/backoffice/goods/goods_checks.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/numbers.h"

namespace backoffice {
namespace {

using kasso::Trim;
using kasso::ValidationError;
using lookups::TillNumber;

// A number of the goods: the field a refusal names, its caption in the editor, its column
// title in the files, and the till's limit it keeps.
struct NumberField {
  const char* key;
  const char* caption;
  const char* title;
  TillNumber kind;
};

constexpr NumberField kStock{"iniinventory", "期初库存", "库存", TillNumber::kQuantity};
constexpr NumberField kSales{"salesprice", "售价", "售价", TillNumber::kAmount};
constexpr NumberField kMember{"memberprice", "会员价", "会员价", TillNumber::kAmount};
constexpr NumberField kImport{"importprice", "进价", "进价", TillNumber::kAmount};
constexpr NumberField kAverage{"averageimportprice", "平均进价", "平均进价", TillNumber::kAmount};

std::string OrZero(const std::string& text) { return text.empty() ? "0" : text; }

// A NUL, tab, line break or other control byte would make a barcode that no scanner sends and
// that files and labels cannot carry.
bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

class Checker {
 public:
  explicit Checker(GoodsSource source) : editor_(source == GoodsSource::kEditor) {}

  // The editor's wording or the file's.
  std::string Say(const char* editor, const char* file) const { return editor_ ? editor : file; }

  // The number in text, trimmed ("" reads 0, and text becomes "0"), within the till's limits
  // and rounded as it is kept (prices to the fen, stock to three decimals); never negative.
  double Number(std::string& text, const NumberField& field) const {
    text = OrZero(Trim(text));
    const std::optional<double> value = lookups::ReadTypedNumber(text, field.kind);
    if (!value) {
      throw ValidationError(
          editor_ ? std::string(field.caption) + "录入有误" : std::string(field.title) + "有误",
          field.key);
    }
    const double kept = lookups::RoundTo(*value, field.kind == TillNumber::kAmount ? 2 : 3);
    if (kept < 0) throw ValidationError(Say(field.caption, field.title) + "不能为负数", field.key);
    return kept;
  }

 private:
  bool editor_;
};

}  // namespace

ValidGoods ValidateGoods(const GoodsFields& fields, GoodsSource source) {
  const Checker check(source);
  ValidGoods goods;
  GoodsFields& f = goods.text;
  f = fields;
  f.barcode = Trim(f.barcode);
  f.goodsname = Trim(f.goodsname);
  f.unit = Trim(f.unit);
  f.class_name = Trim(f.class_name);
  f.isscalegoods = Trim(f.isscalegoods);
  f.iscombined = Trim(f.iscombined);

  // A PLU number counts scale keys: "1.5" would be stored as 1, so only whole numbers pass.
  f.pluno = OrZero(Trim(f.pluno));
  const std::optional<double> pluno = lookups::ReadTypedNumber(f.pluno, TillNumber::kQuantity);
  if (!pluno || *pluno < 0 || *pluno != std::trunc(*pluno)) {
    throw ValidationError("PLU编号有误", "pluno");
  }
  goods.pluno = static_cast<std::int64_t>(*pluno);
  if (f.barcode.empty()) throw ValidationError("条码不能为空", "barcode");
  if (HasControlCharacter(f.barcode)) throw ValidationError("条码不能含控制字符", "barcode");
  if (f.goodsname.empty()) {
    throw ValidationError(check.Say("商品名称不能为空", "名称不能为空"), "goodsname");
  }
  if (f.unit.empty()) f.unit = "个";
  if (f.class_name.empty()) f.class_name = "未分类";
  if (f.isscalegoods.empty()) f.isscalegoods = kNo;
  if (f.isscalegoods != kYes && f.isscalegoods != kNo) {
    throw ValidationError("称重商品有误", "isscalegoods");
  }
  if (f.iscombined.empty()) f.iscombined = kNo;
  if (f.iscombined != kYes && f.iscombined != kNo) {
    throw ValidationError("组合商品有误", "iscombined");
  }
  if (f.isscalegoods == kYes) {
    if (goods.pluno <= 0) throw ValidationError("称重商品编号必须>0", "pluno");
    if (f.iscombined == kYes) throw ValidationError("称重商品不能是组合商品", "iscombined");
  }

  goods.iniinventory = check.Number(f.iniinventory, kStock);
  // A price that is not a number is refused, never stored as 0.
  goods.salesprice = check.Number(f.salesprice, kSales);
  goods.memberprice = check.Number(f.memberprice, kMember);
  if (goods.memberprice == 0) {
    goods.member_price_follows = true;
    f.memberprice = f.salesprice;
    goods.memberprice = goods.salesprice;
  }
  goods.importprice = check.Number(f.importprice, kImport);
  if (Trim(f.averageimportprice).empty()) f.averageimportprice = f.importprice;
  goods.averageimportprice = check.Number(f.averageimportprice, kAverage);
  return goods;
}

}  // namespace backoffice
