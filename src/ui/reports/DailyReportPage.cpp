#include "ui/reports/DailyReportPage.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <memory>
#include <string>

#include "ui/reports/ReportPrinter.h"

namespace ui {
namespace {

constexpr double kMargin = 30;         // around the report inside the page
constexpr double kRowHeight = 50;      // every table row, header included
constexpr double kPreviewTitle = 100;  // the framed title block
constexpr double kPaperTitle = 150;
constexpr double kItemShare = 0.65;  // of the table's width, the rest holds the values
constexpr double kPadding = 10;

QFont ReportFont(double points, double screen_dpi) {
  QFont font;
  font.setFamilies({"宋体", "SimSun", "Noto Serif CJK SC", "Noto Sans CJK SC"});
  font.setPixelSize(std::max(1, static_cast<int>(points * screen_dpi / 72.0 + 0.5)));
  return font;
}

QList<QPair<QString, QString>> Rows(const reports::DailyReportFigures& figures,
                                    reports::ReportMedium medium) {
  QList<QPair<QString, QString>> rows;
  for (const reports::ReportRow& row : reports::DailyReportRows(figures, medium)) {
    rows.append({QString::fromStdString(row.item), QString::fromStdString(row.value)});
  }
  return rows;
}

}  // namespace

DailyReportText MakeDailyReportText(const reports::DateRange& range,
                                    const reports::DailyReportFigures& figures) {
  DailyReportText text;
  text.title = reports::kDailyReportTitle;
  for (const std::string& line : reports::DailyReportHeaderLines(range)) {
    text.header.append(QString::fromStdString(line));
  }
  text.preview_rows = Rows(figures, reports::ReportMedium::kPreview);
  text.paper_rows = Rows(figures, reports::ReportMedium::kPaper);
  return text;
}

void PaintDailyReport(QPainter& painter, const DailyReportText& text, const QRectF& page,
                      reports::ReportMedium medium, double screen_dpi) {
  const bool paper = medium == reports::ReportMedium::kPaper;
  const auto& rows = paper ? text.paper_rows : text.preview_rows;
  const double title_height = paper ? kPaperTitle : kPreviewTitle;
  const double needed = title_height + kRowHeight * static_cast<double>(rows.size() + 1);
  const QRectF inner = page.adjusted(kMargin, kMargin, -kMargin, -kMargin);
  const double scale = std::min(1.0, inner.height() / needed);
  const double width = inner.width() / scale;

  painter.save();
  painter.translate(inner.topLeft());
  painter.scale(scale, scale);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);

  // The framed title block: the title, then the report time and the range.
  const QRectF block(0, 0, width, title_height);
  painter.drawRect(block);
  const double title_part = title_height * 0.4;
  painter.setFont(ReportFont(20, screen_dpi));
  painter.drawText(QRectF(0, 0, width, title_part), Qt::AlignCenter, text.title);
  painter.setFont(ReportFont(10, screen_dpi));
  const double line_height =
      (title_height - title_part) / std::max<qsizetype>(1, text.header.size());
  for (qsizetype i = 0; i < text.header.size(); ++i) {
    painter.drawText(QRectF(kPadding, title_part + line_height * static_cast<double>(i),
                            width - 2 * kPadding, line_height),
                     Qt::AlignLeft | Qt::AlignVCenter, text.header[i]);
  }

  // The table: header row, then one framed row per item.
  const double item_width = width * kItemShare;
  auto draw_row = [&](double top, const QString& item, const QString& value, bool heading) {
    const QRectF left(0, top, item_width, kRowHeight);
    const QRectF right(item_width, top, width - item_width, kRowHeight);
    painter.drawRect(left);
    painter.drawRect(right);
    const QRectF left_text = left.adjusted(kPadding, 0, -kPadding, 0);
    const QRectF right_text = right.adjusted(kPadding, 0, -kPadding, 0);
    painter.drawText(left_text, (heading ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter,
                     item);
    painter.drawText(right_text, (heading ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter,
                     value);
  };
  double top = title_height;
  draw_row(top, "项目名称", "数值", true);
  for (const auto& [item, value] : rows) {
    top += kRowHeight;
    draw_row(top, item, value, false);
  }
  painter.restore();
}

QSizeF ReportPageMillimetres() {
  std::unique_ptr<QPrinter> printer = OpenReportPrinter();
  if (!printer) return {190, 277};
  return printer->pageLayout().paintRect(QPageLayout::Millimeter).size();
}

}  // namespace ui
