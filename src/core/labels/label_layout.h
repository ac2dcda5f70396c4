#pragma once

#include <string>
#include <vector>

#include "core/labels/label_fields.h"
#include "core/labels/label_template.h"

namespace labels {

inline constexpr double kA4WidthMm = 210;
inline constexpr double kA4HeightMm = 297;

struct PointMm {
  double x = 0;
  double y = 0;
};

struct RectMm {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
};

// How a run of labels falls onto pages. A roll page is one row of labels, as wide as the row
// and as high as a label; an A4 sheet holds as many rows as fit below the top margin.
struct SheetPlan {
  bool roll = true;
  int columns = 1;
  int rows_per_page = 1;
  int labels_per_page = 1;
  int pages = 0;
  double page_width_mm = 0;
  double page_height_mm = 0;
  double left_mm = 0;  // corner of the first label
  double top_mm = 0;
  double column_step_mm = 0;  // from one label's corner to the next one's in the row
  double row_step_mm = 0;
};

// Lays out label_count labels of the template on its paper. Roll margins and gaps count in
// whole millimetres, A4 ones to two decimals. Throws common::UserError when no label fits:
// "每行列数必须大于0", "标签高度超出纸张", "请选择用纸" for an unknown paper, and
// "标签尺寸必须大于0" for a label without width or height; and for a template outside the
// designer's limits (CheckTemplate), so no count of the plan can overflow.
SheetPlan PlanSheet(const LabelTemplate& label, int label_count);

// Labels on the page (0-based) of a run of label_count labels.
int LabelsOnPage(const SheetPlan& plan, int page, int label_count);

// The top-left corner of the index-th label on a page, counted along the rows.
PointMm LabelCorner(const SheetPlan& plan, int index_on_page);

// One field of one label, ready to draw.
struct PlacedField {
  FieldKey key = kBarcode;
  std::string fontsize;
  RectMm rect;
  std::string text;  // the barcode digits, or caption and value of a text field
};

// The visible fields of one label with its corner at `corner`: each field's rectangle starts
// at the corner plus its design position in whole millimetres, is itemwidth long and as high
// as its font size says.
std::vector<PlacedField> PlaceFields(const LabelTemplate& label, const LabelGoods& goods,
                                     PointMm corner);

}  // namespace labels
