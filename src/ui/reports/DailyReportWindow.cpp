#include "ui/reports/DailyReportWindow.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStatusBar>
#include <cmath>
#include <optional>

#include "core/reports/daily_report.h"
#include "ui/common/MessageBox.h"
#include "ui/common/StatusPanes.h"
#include "ui/devices/NamedPrinter.h"
#include "ui/devices/PrinterChoice.h"
#include "ui/reports/ReportPrinter.h"
#include "ui_DailyReportWindow.h"

namespace ui {
namespace {

constexpr double kPageMargin = 20;  // around the page outline in the preview
constexpr int kScrollLine = 10;
constexpr double kMmPerInch = 25.4;

// A printer driver may change the working directory, and kasso.db may be opened by a name
// relative to it: put it back whatever happens.
class KeepWorkingDirectory {
 public:
  KeepWorkingDirectory() : directory_(QDir::currentPath()) {}
  KeepWorkingDirectory(const KeepWorkingDirectory&) = delete;
  KeepWorkingDirectory& operator=(const KeepWorkingDirectory&) = delete;
  ~KeepWorkingDirectory() { QDir::setCurrent(directory_); }

 private:
  QString directory_;
};

}  // namespace

// The page on screen: the printable page of the report printer at the screen's resolution,
// outlined in blue, scaled by the zoom.
class ReportPageView : public QWidget {
 public:
  ReportPageView(const DailyReportText& text, QWidget* parent) : QWidget(parent), text_(text) {
    setObjectName("reportPage");
    const QSizeF millimetres = ReportPageMillimetres();
    page_ = QSizeF(millimetres.width() / kMmPerInch * ScreenDpi(),
                   millimetres.height() / kMmPerInch * ScreenDpi());
  }

  double ScreenDpi() const { return logicalDpiX(); }

  void SetZoom(int zoom) {
    zoom_ = zoom;
    const double factor = zoom / 100.0;
    setFixedSize(static_cast<int>(std::ceil((page_.width() + 2 * kPageMargin) * factor)),
                 static_cast<int>(std::ceil((page_.height() + 2 * kPageMargin) * factor)));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(zoom_ / 100.0, zoom_ / 100.0);
    const QRectF page(QPointF(kPageMargin, kPageMargin), page_);
    painter.fillRect(page, Qt::white);
    painter.setPen(QPen(Qt::blue, 2));
    painter.drawRect(page);
    PaintDailyReport(painter, text_, page, reports::ReportMedium::kPreview, ScreenDpi());
  }

 private:
  const DailyReportText& text_;
  QSizeF page_;
  int zoom_ = 100;
};

DailyReportWindow::DailyReportWindow(QWidget* parent, const reports::DateRange& range,
                                     const std::filesystem::path& file)
    : QDialog(parent), ui_(std::make_unique<Ui::DailyReportWindow>()) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setWindowState(windowState() | Qt::WindowMaximized);

  reports::DailyReportFigures figures;
  if (file.empty()) {
    figures = reports::ComputeDailyReportFigures(range);
  } else {
    try {
      store::Database office(file);
      figures = reports::ComputeDailyReportFigures(office, range);
    } catch (const store::DbError&) {
      // Every figure stays unknown, and the window says so below.
    }
  }
  if (!figures.Complete()) ShowMessage(this, "查询有误");
  text_ = MakeDailyReportText(range, figures);

  view_ = new ReportPageView(text_, ui_->pageScrollArea);
  ui_->pageScrollArea->setWidget(view_);
  ui_->pageScrollArea->setAlignment(Qt::AlignCenter);
  ui_->pageScrollArea->horizontalScrollBar()->setSingleStep(kScrollLine);
  ui_->pageScrollArea->verticalScrollBar()->setSingleStep(kScrollLine);

  // Six panes of equal width; the report always fits on one page.
  const StatusBar status = MakeStatusBar(this, {{"pageCountCaption", 1, "总页数："},
                                                {"pageCountLabel", 1, "1 页"},
                                                {"currentPageCaption", 1, "当前页："},
                                                {"currentPageLabel", 1, "第 1 页"},
                                                {"zoomCaption", 1, "缩放比例："},
                                                {"zoomLabel", 1}});
  ui_->mainLayout->addWidget(status.bar);
  zoom_label_ = status.panes.back();

  connect(ui_->printButton, &QToolButton::clicked, this, &DailyReportWindow::OnPrint);
  connect(ui_->zoomInButton, &QToolButton::clicked, this, &DailyReportWindow::ZoomIn);
  connect(ui_->zoomOutButton, &QToolButton::clicked, this, &DailyReportWindow::ZoomOut);
  connect(ui_->closeButton, &QToolButton::clicked, this, &DailyReportWindow::accept);
  ApplyZoom();
}

DailyReportWindow::~DailyReportWindow() = default;

void DailyReportWindow::ZoomIn() {
  if (zoom_ >= kMaxZoom) return;
  zoom_ += kZoomStep;
  ApplyZoom();
}

void DailyReportWindow::ZoomOut() {
  if (zoom_ <= kMinZoom) return;
  zoom_ -= kZoomStep;
  ApplyZoom();
}

void DailyReportWindow::ApplyZoom() {
  view_->SetZoom(zoom_);
  ui_->pageScrollArea->horizontalScrollBar()->setValue(0);
  ui_->pageScrollArea->verticalScrollBar()->setValue(0);
  zoom_label_->setText(QString(" % %1").arg(zoom_));
}

void DailyReportWindow::OnPrint() {
  KeepWorkingDirectory keep;
  std::unique_ptr<QPrinter> printer = OpenReportPrinter();
  if (!printer) {
    // Without a printer the report can still be kept, as a PDF file.
    if (!AskYesNo(this, "没有找到打印机,是否保存为 PDF 文件?")) return;
    const std::optional<QString> file = ChoosePdfFile(this, "营业日报表");
    if (!file) return;
    printer = OpenPdfPrinter(*file);
  }
  printer->setDocName("print");
  QPainter painter;
  if (!painter.begin(printer.get())) {
    ShowMessage(this, "打印有误");
    return;
  }
  // Logical units are screen pixels: scale them to the printer's resolution.
  const double screen_dpi = view_->ScreenDpi();
  const double factor = printer->logicalDpiX() / screen_dpi;
  painter.scale(factor, factor);
  const QRectF page(0, 0, printer->width() / factor, printer->height() / factor);
  PaintDailyReport(painter, text_, page, reports::ReportMedium::kPaper, screen_dpi);
  if (!painter.end()) {
    ShowMessage(this, "打印有误");
    return;
  }
  ShowMessage(this, PrintedToText(*printer));
}

}  // namespace ui
