#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/labels/label_fields.h"
#include "core/labels/label_template.h"

namespace ui {

// Told after each page is drawn; answering false cancels the rest of the job.
using PageProgress = std::function<bool(int pages_done, int pages)>;

struct JobOutcome {
  int pages = 0;  // pages printed
  bool cancelled = false;
};

// Pages of a template run, for choosing whether to show progress.
int TemplateRunPages(const labels::LabelTemplate& label, int label_count);

// Prints a template run to the printer of that name (a name ending in ".pdf" writes that PDF
// file): a label roll one row of labels per page, page as wide as the row, or A4 sheets.
// Everything is checked before the first page: labels to print ("没有要打印的标签"), the layout
// ("每行列数必须大于0", "标签高度超出纸张"), the printer, and every barcode that will be drawn as
// bars. A PDF is written beside its target and put in place only when whole, so a cancelled or
// failed job leaves an earlier file as it was; a cancelled job on a printer is aborted. Throws
// common::UserError with the reason.
JobOutcome PrintTemplateLabels(const labels::LabelTemplate& label,
                               const std::vector<labels::LabelGoods>& goods,
                               const QString& printer_name, const PageProgress& progress = {});

// Pages of a simple run: goods labels three to a page, shelf labels one.
int SimpleRunPages(const std::string& labelkind, int label_count);

// Prints the simple barcode print's fixed layouts: goods labels three across (bars with their
// digits, then the name cut to 14 bytes and the price), shelf labels one per page (barcode,
// name, unit and price as text). The layouts scale with the printer's bar module
// (SimpleLabelLayout), so every symbol keeps its quiet zone. Same checks and PDF handling as
// PrintTemplateLabels.
JobOutcome PrintSimpleLabels(const std::string& labelkind,
                             const std::vector<labels::LabelGoods>& goods,
                             const QString& printer_name, const PageProgress& progress = {});

}  // namespace ui
