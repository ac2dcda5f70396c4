#include "core/labels/label_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/common/error.h"
#include "core/labels/template_limits.h"
#include "core/lookups/numbers.h"

namespace labels {
namespace {

int CeilDiv(std::int64_t count, std::int64_t per_page) {
  return static_cast<int>((count + per_page - 1) / per_page);
}

}  // namespace

SheetPlan PlanSheet(const LabelTemplate& label, int label_count) {
  const PrintSettings& s = label.settings;
  const bool roll = s.paperkind == kRollPaper;
  if (!roll && s.paperkind != kA4Paper) throw kasso::UserError("请选择用纸");
  if (s.columns <= 0) throw kasso::UserError("每行列数必须大于0");
  if (label.labelwidth <= 0 || label.labelheight <= 0) {
    throw kasso::UserError("标签尺寸必须大于0");
  }
  using lookups::RoundTo;
  const double top = RoundTo(s.topspace, 2);
  const double row_step = label.labelheight + RoundTo(s.linebetweenspace, 2);
  // Each row counts with the gap below it; a sheet without room for one row is refused.
  if (!roll && !(row_step > 0 && kA4HeightMm - top >= row_step)) {
    throw kasso::UserError("标签高度超出纸张");
  }
  // Within the designer's limits every count below stays far inside an int.
  CheckTemplate(label);
  SheetPlan plan;
  plan.roll = roll;
  plan.columns = s.columns;
  if (roll) {
    const double left = std::trunc(s.leftspace);
    const double gap = std::trunc(s.betweenspace);
    plan.rows_per_page = 1;
    plan.left_mm = left;
    plan.column_step_mm = label.labelwidth + gap;
    plan.page_width_mm = plan.column_step_mm * s.columns + 2 * left - gap;
    plan.page_height_mm = label.labelheight;
  } else {
    plan.left_mm = RoundTo(s.leftspace, 2);
    plan.top_mm = top;
    plan.column_step_mm = label.labelwidth + RoundTo(s.betweenspace, 2);
    plan.row_step_mm = row_step;
    plan.rows_per_page = static_cast<int>(std::floor((kA4HeightMm - top) / row_step));
    plan.page_width_mm = kA4WidthMm;
    plan.page_height_mm = kA4HeightMm;
  }
  plan.labels_per_page = plan.columns * plan.rows_per_page;
  plan.pages = CeilDiv(std::max(label_count, 0), plan.labels_per_page);
  return plan;
}

int LabelsOnPage(const SheetPlan& plan, int page, int label_count) {
  const int before = page * plan.labels_per_page;
  return std::clamp(label_count - before, 0, plan.labels_per_page);
}

PointMm LabelCorner(const SheetPlan& plan, int index_on_page) {
  const int row = index_on_page / plan.columns;
  const int column = index_on_page % plan.columns;
  return {plan.left_mm + column * plan.column_step_mm, plan.top_mm + row * plan.row_step_mm};
}

std::vector<PlacedField> PlaceFields(const LabelTemplate& label, const LabelGoods& goods,
                                     PointMm corner) {
  std::vector<PlacedField> placed;
  for (int index = 0; index < kFieldCount; ++index) {
    const TemplateField& field = label.fields[static_cast<size_t>(index)];
    if (!field.visible) continue;
    const auto key = static_cast<FieldKey>(index);
    PlacedField out;
    out.key = key;
    out.fontsize = field.fontsize;
    out.rect.left = corner.x + field.cx / kDesignPixelsPerMm;
    out.rect.top = corner.y + field.cy / kDesignPixelsPerMm;
    out.rect.right = out.rect.left + field.itemwidth;
    out.rect.bottom = out.rect.top + FieldHeightMm(field.fontsize);
    out.text = FieldValue(key, goods);
    if (key != kBarcode && label.settings.printtitle) {
      out.text = kFields[static_cast<size_t>(index)].caption + out.text;
    }
    placed.push_back(std::move(out));
  }
  return placed;
}

}  // namespace labels
