#include "core/labels/template_limits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

#include "core/common/error.h"
#include "core/labels/label_layout.h"
#include "core/labels/print_queue.h"

namespace labels {
namespace {

struct NumberLimit {
  std::string_view column;
  const char* caption;
  double least;
  double most;
};

// Positions are design pixels; a field may lie anywhere on the largest label, as the designer
// keeps fields where they were when a label is made smaller.
constexpr std::array<NumberLimit, 13> kNumberLimits = {{
    {"cx", "字段位置", 0, (kMaxLabelWidthMm * kDesignPixelsPerMm)},
    {"cy", "字段位置", 0, (kMaxLabelHeightMm * kDesignPixelsPerMm)},
    {"visible", "字段显示", 0, 1},
    {"labelwidth", "宽度", 1, kMaxLabelWidthMm},
    {"labelheight", "高度", 1, kMaxLabelHeightMm},
    {"itemwidth", "字段长度", 1, kMaxItemWidthMm},
    {"columns", "每行列数", 1, kMaxColumns},
    {"betweenspace", "列间距", 0, kA4WidthMm},
    {"leftspace", "左边空", 0, kA4WidthMm},
    {"repeat", "重复打印张数", 1, kMaxLabelsPerRun},
    {"topspace", "上边空", 0, kA4HeightMm},
    {"linebetweenspace", "行间距", 0, kA4HeightMm},
    {"printtitle", "打印抬头", 0, 1},
}};

struct TextChoices {
  std::string_view column;
  const char* caption;
  std::vector<std::string_view> values;
};

std::vector<std::string_view> FieldNames() {
  std::vector<std::string_view> names;
  for (const FieldInfo& field : kFields) names.emplace_back(field.tempname);
  return names;
}

const std::vector<TextChoices>& TextLimits() {
  static const std::vector<TextChoices> limits = {
      {"fontsize", "字体大小", {kLarge, kMedium, kSmall}},
      {"paperkind", "用纸", {kRollPaper, kA4Paper}},
      {"printkind", "打印方式", {kByBarcode, kByClass, kByPurchaseBill, kBySelection}},
      {"labelkind", "标签种类", {kShelfLabel, kGoodsLabel}},
      {"tempname", "字段名称", FieldNames()},
  };
  return limits;
}

std::string Whole(double value) { return std::to_string(static_cast<long long>(value)); }

const NumberLimit* NumberLimitOf(std::string_view column) {
  for (const NumberLimit& limit : kNumberLimits) {
    if (limit.column == column) return &limit;
  }
  return nullptr;
}

}  // namespace

void CheckTemplateNumber(std::string_view column, double value) {
  const NumberLimit* limit = NumberLimitOf(column);
  if (limit == nullptr) return;
  const std::string caption = limit->caption;
  if (value > limit->most) throw common::UserError(caption + "不能大于" + Whole(limit->most));
  if (value >= limit->least) return;
  // Not a number at all (NaN) fails both comparisons and lands here too.
  if (limit->least == 1) throw common::UserError(caption + "必须大于0");
  throw common::UserError(caption + "不能小于" + Whole(limit->least));
}

void CheckTemplateValue(std::string_view column, const std::string& text) {
  if (const NumberLimit* limit = NumberLimitOf(column)) {
    // Read as SQLite writes numbers, whatever the locale's decimal point.
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
      throw common::UserError(std::string(limit->caption) + "不是数字: " + text);
    }
    CheckTemplateNumber(column, value);
    return;
  }
  for (const TextChoices& choices : TextLimits()) {
    if (choices.column != column) continue;
    if (std::find(choices.values.begin(), choices.values.end(), text) != choices.values.end()) {
      return;
    }
    throw common::UserError(std::string(choices.caption) + "有误: " + text);
  }
}

void CheckTemplate(const LabelTemplate& label) {
  CheckTemplateValue("labelkind", label.labelkind);
  CheckTemplateNumber("labelwidth", label.labelwidth);
  CheckTemplateNumber("labelheight", label.labelheight);
  for (const TemplateField& field : label.fields) {
    CheckTemplateNumber("cx", field.cx);
    CheckTemplateNumber("cy", field.cy);
    CheckTemplateNumber("itemwidth", field.itemwidth);
    CheckTemplateValue("fontsize", field.fontsize);
  }
  const PrintSettings& s = label.settings;
  CheckTemplateValue("paperkind", s.paperkind);
  CheckTemplateValue("printkind", s.printkind);
  CheckTemplateNumber("columns", s.columns);
  CheckTemplateNumber("repeat", s.repeat);
  CheckTemplateNumber("betweenspace", s.betweenspace);
  CheckTemplateNumber("leftspace", s.leftspace);
  CheckTemplateNumber("topspace", s.topspace);
  CheckTemplateNumber("linebetweenspace", s.linebetweenspace);
}

}  // namespace labels
