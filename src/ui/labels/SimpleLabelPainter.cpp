#include "ui/labels/SimpleLabelPainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

#include "core/common/format.h"
#include "core/labels/code128.h"
#include "core/labels/simple_labels.h"
#include "ui/labels/LabelPainter.h"

namespace ui {
namespace {

// The layouts were made for a 203 dpi label printer, whose bar module is 2 dots.
constexpr double kLayoutDpi = 203;
constexpr double kUnitsPerModule = 2;
constexpr double kMmPerInch = 25.4;
constexpr double kQuietZoneModules = 10;
// Goods labels: the first symbol's quiet zone, the narrowest pitch, the bars' height, and the
// tops of the digits, the name and the price.
constexpr double kFirstBars = kQuietZoneModules * kUnitsPerModule;
constexpr double kLeastPitch = 255;
constexpr double kBarsHeight = 75;
constexpr double kDigitsTop = 77;
constexpr double kNameTop = 105;
constexpr double kPriceTop = 155;
constexpr double kGoodsPageHeight = 200;
constexpr int kTextPoints = 12;
constexpr int kDigitsPoints = 8;

// Draws text with its top-left at (x, y) units, cut to the whole characters that fit the page.
void TextAt(QPainter& painter, const SimpleLayout& layout, double x, double y,
            const std::string& text) {
  const QFontMetricsF metrics(painter.font());
  const double left = x * layout.unit;
  const double room = painter.device()->width() - left;
  painter.drawText(QPointF(left, y * layout.unit + metrics.ascent()),
                   FitWidth(QString::fromStdString(text), metrics, room));
}

double Millimetres(double units, const SimpleLayout& layout, double dpi) {
  return units * layout.unit / dpi * kMmPerInch;
}

}  // namespace

SimpleLayout SimpleLabelLayout(double dpi, const std::vector<labels::LabelGoods>& goods) {
  SimpleLayout layout;
  layout.module = ModuleWidthDots(dpi);
  layout.unit = layout.module / kUnitsPerModule;
  // The next label's bars start no nearer than the widest symbol's end plus its quiet zone.
  double widest = 0;
  for (const labels::LabelGoods& item : goods) {
    if (labels::IsDigitText(item.barcode)) {
      widest = std::max(widest, static_cast<double>(labels::EncodeCode128(item.barcode).size()));
    }
  }
  layout.pitch = std::max(kLeastPitch, (widest + kQuietZoneModules) * kUnitsPerModule);
  return layout;
}

QSizeF SimplePageMm(bool shelf, const SimpleLayout& layout, double dpi) {
  if (shelf) return {60, 35};
  const double width = kFirstBars + labels::kGoodsLabelsPerPage * layout.pitch;
  return {Millimetres(width, layout, dpi), Millimetres(kGoodsPageHeight, layout, dpi)};
}

void PaintSimpleGoodsLabels(QPainter& painter, const SimpleLayout& layout,
                            std::span<const labels::LabelGoods> goods) {
  const double font_dpi = kLayoutDpi * layout.unit;
  const QFont text_font = SimpleLabelFont(kTextPoints, font_dpi);
  const QFont digits_font = SimpleLabelFont(kDigitsPoints, font_dpi);
  painter.setPen(Qt::black);
  for (size_t k = 0; k < goods.size(); ++k) {
    const labels::LabelGoods& item = goods[k];
    const double x = kFirstBars + static_cast<double>(k) * layout.pitch;
    const double width =
        PaintModules(painter, labels::EncodeCode128(item.barcode), QPointF(x * layout.unit, 0),
                     layout.module, kBarsHeight * layout.unit);
    // The digits a person reads, centred under the bars.
    painter.setFont(digits_font);
    painter.drawText(QRectF(x * layout.unit, kDigitsTop * layout.unit, width,
                            (kNameTop - kDigitsTop) * layout.unit),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
                     QString::fromStdString(item.barcode));
    painter.setFont(text_font);
    TextAt(painter, layout, x, kNameTop, labels::SimpleLabelName(item.goodsname));
    TextAt(painter, layout, x, kPriceTop, common::Money(item.salesprice));
  }
}

void PaintSimpleShelfLabel(QPainter& painter, const SimpleLayout& layout,
                           const labels::LabelGoods& goods) {
  painter.setFont(SimpleLabelFont(kTextPoints, kLayoutDpi * layout.unit));
  painter.setPen(Qt::black);
  TextAt(painter, layout, 60, 80, goods.barcode);
  TextAt(painter, layout, 60, 130, goods.goodsname);
  TextAt(painter, layout, 260, 180, goods.unit);
  TextAt(painter, layout, 110, 230, common::Money(goods.salesprice));
}

}  // namespace ui
