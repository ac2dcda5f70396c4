#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <string_view>

#include "core/labels/label_layout.h"

class QFontMetricsF;
class QPainter;

namespace ui {

// Device units of one bar module: 2 on devices up to 300 dpi (label printers, whose labels
// scan well so), above that the whole number of units nearest 0.25 mm, so the bars of an
// office printer are as wide as a label printer's and not too thin to scan.
int ModuleWidthDots(double dpi);

// How a label's millimetres fall on a paint device, and how wide its bar modules are there.
struct LabelDevice {
  double units_per_mm_x = 1;
  double units_per_mm_y = 1;
  double font_dpi = 72;     // the resolution font points are measured in
  double module_width = 2;  // device units per bar module

  // A printer or image of this resolution; the mm scale may differ where a driver keeps its
  // own paper size.
  static LabelDevice Printer(double dpi, double units_per_mm_x, double units_per_mm_y);
  static LabelDevice Printer(double dpi);
  // The designer's canvas: fonts at their printed size, and bars as wide as a 203 dpi label
  // printer draws them (0.25 mm), so the canvas shows the room a symbol takes on the label.
  static LabelDevice Canvas(double pixels_per_mm);

  // Millimetres to device units, truncated toward zero so bars start on whole units.
  QRectF ToDevice(const labels::RectMm& rect) const;
  QPointF ToDevice(labels::PointMm point) const;
};

// The label font ("黑体", or the system's CJK sans serif) at a size in points.
QFont LabelFont(int points, double dpi);
// The simple labels' font ("宋体", or the system's CJK serif).
QFont SimpleLabelFont(int points, double dpi);

// The longest run of whole characters (as a reader sees them: an accent or a joined emoji
// stays with its letter) from the start of the text that fits the width.
QString FitWidth(const QString& text, const QFontMetricsF& metrics, double width);

// Draws module flags as black bars from top_left; adjacent dark modules make one bar.
// Returns the width of the whole symbol.
double PaintModules(QPainter& painter, std::string_view modules, QPointF top_left,
                    double module_width, double height);

// The box a field covers when drawn: a text field's rectangle; for the barcode the rectangle
// together with the whole symbol (which may be wider than the field) and the digits under it.
// Throws common::UserError for a barcode that is not all digits.
QRectF LabelFieldBox(const LabelDevice& device, const labels::PlacedField& field);

// Draws one field: text fields top-left in the rectangle in their font, cut to whole
// characters at its right edge; the barcode as bars as high as the rectangle with its digits
// centred under the symbol in the band below, half as deep. A symbol wider than its field is
// drawn whole. Returns LabelFieldBox. Throws common::UserError for a barcode that is not all
// digits.
QRectF PaintLabelField(QPainter& painter, const LabelDevice& device,
                       const labels::PlacedField& field);

// Draws every visible field of one label whose corner is at `corner` (mm).
void PaintLabel(QPainter& painter, const LabelDevice& device, const labels::LabelTemplate& label,
                const labels::LabelGoods& goods, labels::PointMm corner);

}  // namespace ui
