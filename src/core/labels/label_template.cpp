#include "core/labels/label_template.h"

#include <cmath>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/labels/template_limits.h"
#include "core/lookups/numbers.h"

namespace labels {
namespace {

bool IsShelf(const std::string& labelkind) { return labelkind == kShelfLabel; }

// A settings column read from its row, or the default when it holds NULL.
std::string TextOr(const store::Statement& row, int column, const std::string& fallback) {
  return row.IsNull(column) ? fallback : row.Text(column);
}
double NumberOr(const store::Statement& row, int column, double fallback) {
  return row.IsNull(column) ? fallback : row.Double(column);
}
int IntOr(const store::Statement& row, int column, int fallback) {
  return row.IsNull(column) ? fallback : static_cast<int>(row.Int(column));
}

PrintSettings LoadSettings(store::Database& db, const std::string& labelkind) {
  PrintSettings settings;
  // Rows of the kind first: every row holds the same settings after a save, but a template
  // imported from an older till may differ by kind.
  store::Statement row = db.Query(
      "select paperkind,printername,columns,betweenspace,leftspace,repeat,printkind,classname,"
      "topspace,linebetweenspace,printtitle from labeltemplate "
      "order by labelkind = ? desc, rowid limit 1",
      labelkind);
  if (!row.Step()) return settings;
  settings.paperkind = TextOr(row, 0, settings.paperkind);
  settings.printername = TextOr(row, 1, settings.printername);
  settings.columns = IntOr(row, 2, settings.columns);
  settings.betweenspace = NumberOr(row, 3, settings.betweenspace);
  settings.leftspace = NumberOr(row, 4, settings.leftspace);
  settings.repeat = IntOr(row, 5, settings.repeat);
  settings.printkind = TextOr(row, 6, settings.printkind);
  settings.classname = TextOr(row, 7, settings.classname);
  settings.topspace = NumberOr(row, 8, settings.topspace);
  settings.linebetweenspace = NumberOr(row, 9, settings.linebetweenspace);
  settings.printtitle = IntOr(row, 10, 1) != 0;
  return settings;
}

// One side of the size: its whole millimetres, or the refusal of the side's words.
int CheckSide(const std::string& text, const char* side, const char* field, int largest) {
  const std::string typed = kasso::Trim(text);
  const std::string name(side);
  if (!lookups::IsPlainNumber(typed)) throw kasso::ValidationError(name + "录入有误", field);
  const double value = std::trunc(kasso::ParseNumber(typed));
  if (value > largest) {
    throw kasso::ValidationError(name + "不能大于" + std::to_string(largest), field);
  }
  if (value < 0) throw kasso::ValidationError(name + "不能小于0", field);
  // A label of no width or height cannot be laid out on any paper.
  if (value == 0) throw kasso::ValidationError(name + "必须大于0", field);
  return static_cast<int>(value);
}

}  // namespace

LabelSize CheckLabelSize(const std::string& width, const std::string& height) {
  LabelSize size;
  size.width = CheckSide(width, "宽度", "width", kMaxLabelWidthMm);
  size.height = CheckSide(height, "高度", "height", kMaxLabelHeightMm);
  return size;
}

int FieldHeightMm(const std::string& fontsize) {
  if (fontsize == kLarge) return 6;
  if (fontsize == kSmall) return 3;
  return 4;
}

int FontPoints(const std::string& fontsize) {
  if (fontsize == kLarge) return 12;
  if (fontsize == kSmall) return 8;
  return 10;
}

LabelTemplate LoadTemplate(store::Database& db, const std::string& labelkind) {
  LabelTemplate label;
  label.labelkind = labelkind;
  label.labelwidth = IsShelf(labelkind) ? 60 : 32;
  label.labelheight = IsShelf(labelkind) ? 35 : 19;
  store::ReadTransaction read(db);
  store::Statement row = db.Query(
      "select cx,cy,fontsize,visible,labelwidth,labelheight,itemwidth from labeltemplate "
      "where tempname = ? and labelkind = ? order by rowid limit 1");
  for (int key = 0; key < kFieldCount; ++key) {
    TemplateField& field = label.fields[static_cast<size_t>(key)];
    row.Reset();
    row.BindAll(kFields[static_cast<size_t>(key)].tempname, labelkind);
    if (!row.Step()) continue;
    field.cx = IntOr(row, 0, field.cx);
    field.cy = IntOr(row, 1, field.cy);
    field.fontsize = TextOr(row, 2, field.fontsize);
    field.visible = IntOr(row, 3, 1) != 0;
    label.labelwidth = IntOr(row, 4, label.labelwidth);
    label.labelheight = IntOr(row, 5, label.labelheight);
    field.itemwidth = IntOr(row, 6, field.itemwidth);
  }
  label.settings = LoadSettings(db, labelkind);
  return label;
}

void SaveTemplate(store::Database& db, const LabelTemplate& label) {
  CheckTemplate(label);
  const PrintSettings& s = label.settings;
  store::Transaction tx(db);
  db.Exec(
      "update labeltemplate set paperkind = ?,printername = ?,columns = ?,betweenspace = ?,"
      "leftspace = ?,repeat = ?,printkind = ?,"
      "classname = case when ? = 'class' then ? else classname end,"
      "topspace = ?,linebetweenspace = ?,printtitle = ?",
      s.paperkind, s.printername, s.columns, s.betweenspace, s.leftspace, s.repeat, s.printkind,
      s.printkind, s.classname, s.topspace, s.linebetweenspace, s.printtitle ? 1 : 0);
  store::Statement update = db.Query(
      "update labeltemplate set cx = ?,cy = ?,fontsize = ?,labelwidth = ?,labelheight = ?,"
      "visible = ?,itemwidth = ? where labelkind = ? and tempname = ?");
  for (int key = 0; key < kFieldCount; ++key) {
    const TemplateField& field = label.fields[static_cast<size_t>(key)];
    const char* tempname = kFields[static_cast<size_t>(key)].tempname;
    update.Reset();
    update.BindAll(field.cx, field.cy, field.fontsize, label.labelwidth, label.labelheight,
                   field.visible ? 1 : 0, field.itemwidth, label.labelkind, tempname);
    update.Run();
    if (sqlite3_changes(db.handle()) > 0) continue;
    db.Exec(
        "insert into labeltemplate (tempname,cx,cy,fontsize,visible,labelkind,labelwidth,"
        "labelheight,itemwidth,paperkind,printername,columns,betweenspace,leftspace,repeat,"
        "printkind,classname,topspace,linebetweenspace,printtitle) "
        "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
        tempname, field.cx, field.cy, field.fontsize, field.visible ? 1 : 0, label.labelkind,
        label.labelwidth, label.labelheight, field.itemwidth, s.paperkind, s.printername, s.columns,
        s.betweenspace, s.leftspace, s.repeat, s.printkind, s.classname, s.topspace,
        s.linebetweenspace, s.printtitle ? 1 : 0);
  }
  tx.Commit();
}

}  // namespace labels
