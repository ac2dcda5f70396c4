#include "ui/labels/LabelPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>
#include <string>

#include "core/labels/code128.h"
#include "core/labels/label_template.h"

namespace ui {
namespace {

constexpr double kTargetModuleMm = 0.25;
constexpr double kLabelPrinterDpi = 203;
constexpr double kMmPerInch = 25.4;
constexpr int kDigitsPoints = 8;

QFont FontOf(const QStringList& families, int points, double dpi) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * dpi / 72.0))));
  return font;
}

}  // namespace

QString FitWidth(const QString& text, const QFontMetricsF& metrics, double width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
  qsizetype end = 0;
  for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
    if (metrics.horizontalAdvance(text.left(next)) > width) break;
    end = next;
  }
  return text.left(end);
}

int ModuleWidthDots(double dpi) {
  if (dpi <= 300) return 2;
  return std::max(1, static_cast<int>(std::lround(kTargetModuleMm * dpi / kMmPerInch)));
}

LabelDevice LabelDevice::Printer(double dpi, double units_per_mm_x, double units_per_mm_y) {
  return {units_per_mm_x, units_per_mm_y, dpi, static_cast<double>(ModuleWidthDots(dpi))};
}

LabelDevice LabelDevice::Printer(double dpi) {
  return Printer(dpi, dpi / kMmPerInch, dpi / kMmPerInch);
}

LabelDevice LabelDevice::Canvas(double pixels_per_mm) {
  const double module_mm = ModuleWidthDots(kLabelPrinterDpi) * kMmPerInch / kLabelPrinterDpi;
  return {pixels_per_mm, pixels_per_mm, pixels_per_mm * kMmPerInch, module_mm * pixels_per_mm};
}

QPointF LabelDevice::ToDevice(labels::PointMm point) const {
  return {std::trunc(point.x * units_per_mm_x), std::trunc(point.y * units_per_mm_y)};
}

QRectF LabelDevice::ToDevice(const labels::RectMm& rect) const {
  const QPointF top_left = ToDevice(labels::PointMm{rect.left, rect.top});
  const QPointF bottom_right = ToDevice(labels::PointMm{rect.right, rect.bottom});
  return {top_left, bottom_right};
}

QFont LabelFont(int points, double dpi) {
  return FontOf({"黑体", "SimHei", "Noto Sans CJK SC", "WenQuanYi Zen Hei"}, points, dpi);
}

QFont SimpleLabelFont(int points, double dpi) {
  return FontOf({"宋体", "SimSun", "Noto Serif CJK SC", "Noto Sans CJK SC"}, points, dpi);
}

double PaintModules(QPainter& painter, std::string_view modules, QPointF top_left,
                    double module_width, double height) {
  size_t k = 0;
  while (k < modules.size()) {
    if (modules[k] != '1') {
      ++k;
      continue;
    }
    size_t end = k;
    while (end < modules.size() && modules[end] == '1') ++end;
    painter.fillRect(QRectF(top_left.x() + static_cast<double>(k) * module_width, top_left.y(),
                            static_cast<double>(end - k) * module_width, height),
                     Qt::black);
    k = end;
  }
  return static_cast<double>(modules.size()) * module_width;
}

namespace {

// The line of digits under the bars: centred in the band that starts at the bars' bottom and
// is half their height deep, as wide as the bars or the digits, whichever is wider.
QRectF DigitsLine(const QRectF& bars, const QFontMetricsF& metrics, const QString& digits) {
  const double width = std::max(bars.width(), metrics.horizontalAdvance(digits));
  const double centre = bars.bottom() + bars.height() / 4;
  return {bars.center().x() - width / 2, centre - metrics.height() / 2, width, metrics.height()};
}

QRectF SymbolBars(const LabelDevice& device, const labels::PlacedField& field, const QRectF& rect) {
  const double width =
      static_cast<double>(labels::EncodeCode128(field.text).size()) * device.module_width;
  return {rect.left(), rect.top(), width, rect.height()};
}

}  // namespace

QRectF LabelFieldBox(const LabelDevice& device, const labels::PlacedField& field) {
  const QRectF rect = device.ToDevice(field.rect);
  if (field.key != labels::kBarcode) return rect;
  const QRectF bars = SymbolBars(device, field, rect);
  const QFontMetricsF metrics(LabelFont(kDigitsPoints, device.font_dpi));
  return rect | bars | DigitsLine(bars, metrics, QString::fromStdString(field.text));
}

QRectF PaintLabelField(QPainter& painter, const LabelDevice& device,
                       const labels::PlacedField& field) {
  const QRectF rect = device.ToDevice(field.rect);
  painter.setPen(Qt::black);
  if (field.key != labels::kBarcode) {
    const QFont font = LabelFont(labels::FontPoints(field.fontsize), device.font_dpi);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const QString text = FitWidth(QString::fromStdString(field.text), metrics, rect.width());
    painter.drawText(QPointF(rect.left(), rect.top() + metrics.ascent()), text);
    return rect;
  }
  const QRectF bars = SymbolBars(device, field, rect);
  PaintModules(painter, labels::EncodeCode128(field.text), bars.topLeft(), device.module_width,
               bars.height());
  // The digits a person reads go under the bars, centred under the symbol.
  const QFont font = LabelFont(kDigitsPoints, device.font_dpi);
  painter.setFont(font);
  const QString digits = QString::fromStdString(field.text);
  painter.drawText(DigitsLine(bars, QFontMetricsF(font), digits),
                   Qt::AlignCenter | Qt::TextDontClip, digits);
  return LabelFieldBox(device, field);
}

void PaintLabel(QPainter& painter, const LabelDevice& device, const labels::LabelTemplate& label,
                const labels::LabelGoods& goods, labels::PointMm corner) {
  for (const labels::PlacedField& field : labels::PlaceFields(label, goods, corner)) {
    PaintLabelField(painter, device, field);
  }
}

}  // namespace ui
