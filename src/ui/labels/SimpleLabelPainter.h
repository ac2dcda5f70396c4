#pragma once

#include <QSizeF>
#include <span>
#include <string>
#include <vector>

#include "core/labels/label_fields.h"

class QPainter;

namespace ui {

// Where the simple barcode print's fixed layouts fall on a device. The layouts are written in
// the dots of a 203 dpi label printer ("units"), whose bar module is 2 dots; on any device a
// unit is half its bar module (ModuleWidthDots), so bars, gaps, text and the label pitch scale
// together and no symbol runs into the next one whatever the resolution.
struct SimpleLayout {
  double unit = 1;     // device units per layout unit
  double module = 2;   // device units per bar module
  double pitch = 255;  // units from one goods label's bars to the next one's
};

// The layout of a run on a device of this resolution: goods labels 255 units apart, or
// further where the run's widest symbol needs it to keep 10 modules of quiet zone.
SimpleLayout SimpleLabelLayout(double dpi, const std::vector<labels::LabelGoods>& goods);

// The page a PDF of the run gets: a row of three goods labels, or one shelf label.
QSizeF SimplePageMm(bool shelf, const SimpleLayout& layout, double dpi);

// Up to three goods labels across the page: each its bars with their digits under them, then
// the name cut to 14 bytes and the price. Throws common::UserError for a barcode that is not
// all digits.
void PaintSimpleGoodsLabels(QPainter& painter, const SimpleLayout& layout,
                            std::span<const labels::LabelGoods> goods);

// One shelf label, text only: barcode, name, unit and price, each cut to the whole characters
// that fit the page.
void PaintSimpleShelfLabel(QPainter& painter, const SimpleLayout& layout,
                           const labels::LabelGoods& goods);

}  // namespace ui
