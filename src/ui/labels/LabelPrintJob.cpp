#include "ui/labels/LabelPrintJob.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <system_error>

#include "core/common/error.h"
#include "core/labels/code128.h"
#include "core/labels/label_layout.h"
#include "core/labels/simple_labels.h"
#include "ui/devices/NamedPrinter.h"
#include "ui/labels/LabelPainter.h"
#include "ui/labels/SimpleLabelPainter.h"

namespace ui {
namespace {

// One print job on a named printer. A PDF goes to a scratch file first and replaces its
// target only in Finish(); an unfinished job removes the scratch file (or aborts the printer
// job) when it goes out of scope.
class PrinterJob {
 public:
  // The page size may depend on the printer's resolution; none keeps the printer's paper.
  using PageSizeFor = std::function<std::optional<QPageSize>(double dpi)>;

  PrinterJob(const QString& printer_name, const PageSizeFor& page_size_for) {
    std::string problem;
    printer_ = OpenNamedPrinter(printer_name, problem);
    if (!printer_) throw common::UserError(problem);
    const std::optional<QPageSize> page_size = page_size_for(printer_->resolution());
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
      throw common::UserError("打印机 " + printer_name.toStdString() + " 无法打印");
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
    if (!printer_->newPage()) throw common::UserError("打印机 " + name_ + " 无法打印");
  }
  void Finish() {
    finished_ = true;
    if (!painter_.end()) {
      RemoveScratch();
      throw common::UserError("打印机 " + name_ + " 无法打印");
    }
    if (scratch_.isEmpty()) return;
    std::error_code error;
    std::filesystem::rename(scratch_.toStdString(), target_.toStdString(), error);
    if (error) {
      RemoveScratch();
      throw common::UserError("无法写入文件 " + target_.toStdString());
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
  if (goods.empty()) throw common::UserError("没有要打印的标签");
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
  PrinterJob job(printer_name, [&](double) { return page_size; });
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
  const bool pdf = IsPdfPrinterName(printer_name);
  PrinterJob job(printer_name, [&](double dpi) -> std::optional<QPageSize> {
    if (!pdf) return std::nullopt;
    return QPageSize(SimplePageMm(shelf, SimpleLabelLayout(dpi, goods), dpi), QPageSize::Millimeter,
                     shelf ? "shelf" : "goods", QPageSize::ExactMatch);
  });
  const SimpleLayout layout = SimpleLabelLayout(job.dpi(), goods);
  const std::span<const labels::LabelGoods> all(goods);
  return RunPages(
      job, SimpleRunPages(labelkind, static_cast<int>(goods.size())), progress, [&](int page) {
        const auto index = static_cast<size_t>(page);
        if (shelf) {
          PaintSimpleShelfLabel(job.painter(), layout, all[index]);
          return;
        }
        const size_t first = index * labels::kGoodsLabelsPerPage;
        const size_t on_page = std::min<size_t>(labels::kGoodsLabelsPerPage, all.size() - first);
        PaintSimpleGoodsLabels(job.painter(), layout, all.subspan(first, on_page));
      });
}

}  // namespace ui
