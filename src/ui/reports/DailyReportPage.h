#pragma once

// The daily business report's page, drawn by one function for the preview and the printer.

#include <QList>
#include <QPair>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include "core/reports/daily_report.h"

class QPainter;

namespace ui {

// What the page shows: the title, the three header lines and the sixteen rows, in the labels
// of the screen and of paper.
struct DailyReportText {
  QString title;
  QStringList header;
  QList<QPair<QString, QString>> preview_rows;
  QList<QPair<QString, QString>> paper_rows;
};

DailyReportText MakeDailyReportText(const reports::DateRange& range,
                                    const reports::DailyReportFigures& figures);

// Draws the page into `page`, in logical units: screen pixels at zoom 100 (the caller scales
// the painter for zoom or for the printer's resolution). The title block is 100 units high on
// the screen and 150 on paper, each table row 50; a page too short for that shrinks the whole
// report to fit, so it is always one page. Fonts are sized for screen_dpi.
void PaintDailyReport(QPainter& painter, const DailyReportText& text, const QRectF& page,
                      reports::ReportMedium medium, double screen_dpi);

// The printable area of the report printer in millimetres: the default printer's, or A4
// less 10 mm margins when there is no printer.
QSizeF ReportPageMillimetres();

}  // namespace ui
