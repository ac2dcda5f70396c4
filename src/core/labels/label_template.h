#pragma once

#include <array>
#include <string>

#include "core/labels/label_fields.h"
#include "core/store/database.h"

namespace labels {

inline constexpr const char* kShelfLabel = "货架签";
inline constexpr const char* kGoodsLabel = "商品签";
inline constexpr const char* kRollPaper = "标签纸";
inline constexpr const char* kA4Paper = "A4纸";
inline constexpr const char* kLarge = "大";
inline constexpr const char* kMedium = "中";
inline constexpr const char* kSmall = "小";
// The designer draws 5 pixels per millimetre; field positions are stored in those pixels.
inline constexpr int kDesignPixelsPerMm = 5;

// Where the labels of a print run come from (labeltemplate.printkind).
inline constexpr const char* kByBarcode = "barcode";
inline constexpr const char* kByClass = "class";
inline constexpr const char* kByPurchaseBill = "importlist";
inline constexpr const char* kBySelection = "range";

// One field of a label kind: its corner relative to the label's in design pixels, its font
// size ("大", "中", "小", which also fixes its height) and its printed width in mm.
struct TemplateField {
  int cx = 10;
  int cy = 20;
  std::string fontsize = kMedium;
  bool visible = true;
  int itemwidth = 10;
};

// The page settings of a print run; the same in every row of labeltemplate. Margins and gaps
// are millimetres, decimals allowed (the A4 sheet uses them so; the roll whole numbers).
struct PrintSettings {
  std::string paperkind = kRollPaper;
  std::string printername;
  int columns = 1;
  double betweenspace = 0;  // gap between columns
  double leftspace = 0;
  int repeat = 1;  // labels per goods item when printing by barcode or class
  std::string printkind = kByBarcode;
  std::string classname;
  double topspace = 0;
  double linebetweenspace = 0;  // gap between rows on A4
  bool printtitle = true;       // print each field's caption before its value
};

struct LabelTemplate {
  std::string labelkind = kShelfLabel;
  int labelwidth = 60;  // mm
  int labelheight = 35;
  std::array<TemplateField, kFieldCount> fields;  // indexed by FieldKey
  PrintSettings settings;
};

// The field's height in mm: 6, 4 or 3 for "大", "中", "小" (any other size counts as "中").
int FieldHeightMm(const std::string& fontsize);
// The field's font in points: 12, 10 or 8.
int FontPoints(const std::string& fontsize);

// A label size typed in the size dialog, in whole mm. Refuses, as common::ValidationError
// naming the field "width" or "height": above 210 ("宽度不能大于210") or 160 ("高度不能大于160"),
// below 0 ("宽度不能小于0", "高度不能小于0"), 0 ("宽度必须大于0", "高度必须大于0") and text that
// is not a number ("宽度录入有误", "高度录入有误").
struct LabelSize {
  int width = 0;
  int height = 0;
};
LabelSize CheckLabelSize(const std::string& width, const std::string& height);

// One label kind's fields and the print settings, as stored. A field or setting without a
// stored value takes the default (a field at 10,20 in "中", visible, 10 mm long; a roll of one
// column printing by barcode once). Throws store::DbError.
LabelTemplate LoadTemplate(store::Database& db, const std::string& labelkind);

// Stores the print settings into every row and the fields and size into the kind's rows, in
// one transaction; a field row that is missing is added, so nothing designed is lost. The
// class is stored only when printing by class. A template outside the designer's limits
// (CheckTemplate) is refused with common::UserError; a failing database throws store::DbError.
// Either way nothing changed.
void SaveTemplate(store::Database& db, const LabelTemplate& label);

}  // namespace labels
