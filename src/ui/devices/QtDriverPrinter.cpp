#include "ui/devices/QtDriverPrinter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <memory>

#include "ui/devices/NamedPrinter.h"

namespace ui {
namespace {

// A monospaced font with Chinese glyphs exactly two columns wide, so the slip's column
// layout holds on paper as it does on a receipt printer.
constexpr const char* kSlipFontFamily = "Noto Sans Mono CJK SC";
constexpr double kTopBottomMarginMm = 3;

// Printable width of the roll: 48 mm on 58 mm paper, 64 mm on 76 mm paper.
double PrintableWidthMm(int paper_mm) {
  if (paper_mm == print::kPaper58mm) return 48;
  if (paper_mm == print::kPaper76mm) return 64;
  return std::max(paper_mm - 10, 10);
}

QFont SlipFont(bool bold) {
  QFont font(kSlipFontFamily);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setBold(bold);
  return font;
}

// The font size and line pitch, in millimetres, that fit the slip's columns to the width.
struct Metrics {
  double em_mm = 0;
  double line_mm = 0;
};

Metrics MetricsFor(double printable_mm, int columns) {
  QFont font = SlipFont(false);
  constexpr int kReferencePixels = 1000;
  font.setPixelSize(kReferencePixels);
  QFontMetricsF reference(font);
  double advance = reference.horizontalAdvance(QLatin1Char('0'));
  double column_mm = printable_mm / std::max(columns, 1);
  Metrics metrics;
  metrics.em_mm = column_mm * kReferencePixels / (advance > 0 ? advance : kReferencePixels / 2.0);
  metrics.line_mm = metrics.em_mm * reference.lineSpacing() / kReferencePixels;
  return metrics;
}

}  // namespace

std::string QtDriverPrinter::Print(const print::Slip& slip, const std::string& printer_name,
                                   int paper_mm) {
  std::string problem;
  std::unique_ptr<QPrinter> printer =
      pdf_file_.isEmpty() ? OpenNamedPrinter(QString::fromStdString(printer_name), problem)
                          : OpenPdfPrinter(pdf_file_);
  if (!printer) return problem;

  const double printable_mm = PrintableWidthMm(paper_mm);
  const double side_mm = (paper_mm - printable_mm) / 2;
  const Metrics metrics = MetricsFor(printable_mm, slip.columns);
  const auto rows = static_cast<double>(slip.lines.size()) + std::max(slip.feed_lines, 0);
  const double height_mm = std::max(2 * kTopBottomMarginMm + rows * metrics.line_mm, 20.0);
  printer->setDocName("slip");
  printer->setPageLayout(QPageLayout(
      QPageSize(QSizeF(paper_mm, height_mm), QPageSize::Millimeter, "slip", QPageSize::ExactMatch),
      QPageLayout::Portrait, QMarginsF(side_mm, kTopBottomMarginMm, side_mm, kTopBottomMarginMm),
      QPageLayout::Millimeter));

  QPainter painter;
  if (!painter.begin(printer.get())) return "打印机 " + printer_name + " 无法打印";
  const double pixels_per_mm = printer->resolution() / 25.4;
  const double width_px = printable_mm * pixels_per_mm;
  const double line_px = metrics.line_mm * pixels_per_mm;
  const int pixel_size = std::max(1, static_cast<int>(metrics.em_mm * pixels_per_mm));
  double top = 0;
  for (const print::SlipLine& line : slip.lines) {
    QFont font = SlipFont(line.emphasis);
    font.setPixelSize(pixel_size);
    painter.setFont(font);
    QFontMetricsF fm(font, printer.get());
    QString text = QString::fromStdString(line.text);
    double text_px = std::min(fm.horizontalAdvance(text), width_px);
    double x = 0;
    if (line.align == print::Align::kCenter) x = (width_px - text_px) / 2;
    if (line.align == print::Align::kRight) x = width_px - text_px;
    painter.drawText(QPointF(x, top + fm.ascent()), text);
    top += line_px;
  }
  if (!painter.end()) return "打印机 " + printer_name + " 无法打印";
  return {};
}

void InstallDriverPrinter() {
  static QtDriverPrinter printer;
  print::SetDriverPrinter(&printer);
}

}  // namespace ui
