#pragma once

#include <QString>
#include <memory>

class QPrinter;

namespace ui {

// While a seam exists, reports print to its printer name instead of the system's default
// printer; a name ending in ".pdf" writes that PDF file. Seams nest; the newest one counts.
class ReportPrinterSeam {
 public:
  explicit ReportPrinterSeam(QString printer_name);
  ~ReportPrinterSeam();
  ReportPrinterSeam(const ReportPrinterSeam&) = delete;
  ReportPrinterSeam& operator=(const ReportPrinterSeam&) = delete;

  static ReportPrinterSeam* Active();
  const QString& printer_name() const { return printer_name_; }

 private:
  QString printer_name_;
  ReportPrinterSeam* previous_;
};

// The printer reports go to, without asking: the seam's, else the system's default printer.
// Null when there is none.
std::unique_ptr<QPrinter> OpenReportPrinter();

}  // namespace ui
