#pragma once

#include <string>
#include <string_view>

#include "core/labels/label_template.h"

namespace labels {

// What a label template may hold, whichever way it is stored: the designer's save and the
// import of an exchange file check the same limits, so every stored template is one the
// designer could have made and every layout of it stays in range.
inline constexpr int kMaxLabelWidthMm = 210;
inline constexpr int kMaxLabelHeightMm = 160;
inline constexpr int kMaxItemWidthMm = 170;
inline constexpr int kMaxColumns = 100;

// One number of a labeltemplate column. Throws common::UserError in the words of the size
// dialog ("宽度不能大于210", "每行列数必须大于0", "行间距不能小于0") for a value outside the
// column's limits. Columns without limits pass.
void CheckTemplateNumber(std::string_view column, double value);

// One stored value as text: a number column's text must read as a number within its limits
// ("... 不是数字: x"); fontsize, paperkind, printkind, labelkind and tempname must be
// values the program knows ("字体大小有误: x"). Throws common::UserError.
void CheckTemplateValue(std::string_view column, const std::string& text);

// Every limit on one label kind and its print settings. Throws common::UserError.
void CheckTemplate(const LabelTemplate& label);

}  // namespace labels
