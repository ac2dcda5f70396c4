#include "ui/labels/LabelPrintJob.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/labels/code128.h"
#include "core/labels/label_layout.h"
#include "core/labels/simple_labels.h"
#include "ui/devices/NamedPrinter.h"
#include "ui/labels/LabelPainter.h"

namespace ui {
namespace {

// Simple labels were laid out in the dots of a 203 dpi label printer.
constexpr double kSimpleLayoutDpi = 203;
constexpr double kMmPerInch = 25.4;

// One print job on a named printer. A PDF goes to a scratch file first and replaces its
// target only in Finish(); an unfinished job removes the scratch file (or aborts the printer
// job) when it goes out of scope.
class PrinterJob {
 public:
  PrinterJob(const QString& printer_name, const std::optional<QPageSize>& page_size) {
    std::string problem;
    printer_ = OpenNamedPrinter(printer_name, problem);
    if (!printer_) throw kasso::UserError(problem);
    if (IsPdfPrinterName(printer_name)) {
      target_ = QFileInfo(printer_name).absoluteFilePath();
      const QFileInfo info(target_);
      scratch_ = info.dir().filePath("." + info.fileName() + ".part");
      printer_->setOutputFileName(scratch_);
    }
    printer_->setDocName("print");
    printer_->setFullPage(true);
    if (page_size) {
      printer_->setPageLayout(
          QPageLayout(*page_size, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
    }
    if (!painter_.begin(printer_.get())) {
      RemoveScratch();
      throw kasso::UserError("打印机 " + printer_name.toStdString() + " 无法打印");
    }
    name_ = printer_name.toStdString();
  }
  PrinterJob(const PrinterJob&) = delete;
  PrinterJob& operator=(const PrinterJob&) = delete;
  ~PrinterJob() {
    if (!finished_) {
      if (scratch_.isEmpty()) printer_->abort();
      painter_.end();
      RemoveScratch();
    }
  }

  QPainter& painter() { return painter_; }
  double dpi() const { return printer_->resolution(); }
  // The paper in device units, for fitting a layout to what the driver really gave.
  QRectF paper() const { return printer_->paperRect(QPrinter::DevicePixel); }
  void NewPage() {
    if (!printer_->newPage()) throw kasso::UserError("打印机 " + name_ + " 无法打印");
  }
  void Finish() {
    finished_ = true;
    if (!painter_.end()) {
      RemoveScratch();
      throw kasso::UserError("打印机 " + name_ + " 无法打印");
    }
    if (scratch_.isEmpty()) return;
    std::error_code error;
    std::filesystem::rename(scratch_.toStdString(), target_.toStdString(), error);
    if (error) {
      RemoveScratch();
      throw kasso::UserError("无法写入文件 " + target_.toStdString());
    }
  }

 private:
  void RemoveScratch() {
    if (scratch_.isEmpty()) return;
    std::error_code ignored;
    std::filesystem::remove(scratch_.toStdString(), ignored);
  }

  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  QString target_;
  QString scratch_;
  std::string name_;
  bool finished_ = false;
};

void CheckNotEmpty(const std::vector<labels::LabelGoods>& goods) {
  if (goods.empty()) throw kasso::UserError("没有要打印的标签");
}

void CheckBarcodes(const std::vector<labels::LabelGoods>& goods) {
  // Encoding refuses a barcode that is not digits, naming it.
  for (const labels::LabelGoods& label : goods) {
    if (!labels::IsDigitText(label.barcode)) labels::EncodeCode128(label.barcode);
  }
}

// Runs draw_page for each page, telling progress after each; stops when it answers false.
template <typename DrawPage>
JobOutcome RunPages(PrinterJob& job, int pages, const PageProgress& progress, DrawPage draw_page) {
  JobOutcome outcome;
  for (int page = 0; page < pages; ++page) {
    if (page > 0) job.NewPage();
    draw_page(page);
    outcome.pages = page + 1;
    if (progress && !progress(outcome.pages, pages) && outcome.pages < pages) {
      outcome.cancelled = true;
      return outcome;
    }
  }
  job.Finish();
  return outcome;
}

}  // namespace

int TemplateRunPages(const labels::LabelTemplate& label, int label_count) {
  return labels::PlanSheet(label, label_count).pages;
}

JobOutcome PrintTemplateLabels(const labels::LabelTemplate& label,
                               const std::vector<labels::LabelGoods>& goods,
                               const QString& printer_name, const PageProgress& progress) {
  CheckNotEmpty(goods);
  const int count = static_cast<int>(goods.size());
  const labels::SheetPlan plan = labels::PlanSheet(label, count);
  if (label.fields[labels::kBarcode].visible) CheckBarcodes(goods);
  const QPageSize page_size = plan.roll
                                  ? QPageSize(QSizeF(plan.page_width_mm, plan.page_height_mm),
                                              QPageSize::Millimeter, "label", QPageSize::ExactMatch)
                                  : QPageSize(QPageSize::A4);
  PrinterJob job(printer_name, page_size);
  const QRectF paper = job.paper();
  const LabelDevice device = LabelDevice::Printer(job.dpi(), paper.width() / plan.page_width_mm,
                                                  paper.height() / plan.page_height_mm);
  return RunPages(job, plan.pages, progress, [&](int page) {
    const int first = page * plan.labels_per_page;
    const int on_page = labels::LabelsOnPage(plan, page, count);
    for (int i = 0; i < on_page; ++i) {
      const labels::LabelGoods& item = goods[static_cast<size_t>(first + i)];
      PaintLabel(job.painter(), device, label, item, labels::LabelCorner(plan, i));
    }
  });
}

int SimpleRunPages(const std::string& labelkind, int label_count) {
  const int per_page = labelkind == labels::kShelfLabel ? 1 : labels::kGoodsLabelsPerPage;
  return (label_count + per_page - 1) / per_page;
}

JobOutcome PrintSimpleLabels(const std::string& labelkind,
                             const std::vector<labels::LabelGoods>& goods,
                             const QString& printer_name, const PageProgress& progress) {
  CheckNotEmpty(goods);
  const bool shelf = labelkind == labels::kShelfLabel;
  if (!shelf) CheckBarcodes(goods);
  // A real printer keeps the paper it is set up for; a PDF gets a page the layout fits.
  std::optional<QPageSize> page_size;
  if (IsPdfPrinterName(printer_name)) {
    page_size =
        shelf ? QPageSize(QSizeF(60, 35), QPageSize::Millimeter, "shelf", QPageSize::ExactMatch)
              : QPageSize(QSizeF(100, 25), QPageSize::Millimeter, "goods", QPageSize::ExactMatch);
  }
  PrinterJob job(printer_name, page_size);
  const double dpi = job.dpi();
  // Up to 300 dpi a layout unit is a device unit, as on the label printers it was made for.
  const double unit = dpi > 300 ? dpi / kSimpleLayoutDpi : 1.0;
  const QFont font = SimpleLabelFont(12, dpi);
  const QFontMetricsF metrics(font);
  QPainter& painter = job.painter();
  auto text_at = [&](double x, double y, const std::string& text) {
    painter.drawText(QPointF(x * unit, y * unit + metrics.ascent()), QString::fromStdString(text));
  };
  const int count = static_cast<int>(goods.size());
  return RunPages(job, SimpleRunPages(labelkind, count), progress, [&](int page) {
    painter.setFont(font);
    painter.setPen(Qt::black);
    if (shelf) {
      const labels::LabelGoods& item = goods[static_cast<size_t>(page)];
      text_at(60, 80, item.barcode);
      text_at(60, 130, item.goodsname);
      text_at(260, 180, item.unit);
      text_at(110, 230, kasso::Money(item.salesprice));
      return;
    }
    constexpr double kBarsX[] = {20, 275, 530};
    constexpr double kTextX[] = {20, 270, 520};
    for (int k = 0; k < labels::kGoodsLabelsPerPage; ++k) {
      const int index = page * labels::kGoodsLabelsPerPage + k;
      if (index >= count) break;
      const labels::LabelGoods& item = goods[static_cast<size_t>(index)];
      PaintModules(painter, labels::EncodeCode128(item.barcode), QPointF(kBarsX[k] * unit, 0),
                   ModuleWidthDots(dpi), 100 * unit);
      text_at(kTextX[k], 105, labels::SimpleLabelName(item.goodsname));
      text_at(kTextX[k], 155, kasso::Money(item.salesprice));
    }
  });
}

}  // namespace ui
