#include "ui/reports/ReportPrinter.h"

#include <QPrinter>
#include <string>

#include "ui/devices/NamedPrinter.h"

namespace ui {
namespace {

ReportPrinterSeam* g_active_seam = nullptr;

}  // namespace

ReportPrinterSeam::ReportPrinterSeam(QString printer_name)
    : printer_name_(std::move(printer_name)), previous_(g_active_seam) {
  g_active_seam = this;
}

ReportPrinterSeam::~ReportPrinterSeam() { g_active_seam = previous_; }

ReportPrinterSeam* ReportPrinterSeam::Active() { return g_active_seam; }

std::unique_ptr<QPrinter> OpenReportPrinter() {
  // An empty name is the default printer.
  const QString name = g_active_seam ? g_active_seam->printer_name() : QString();
  std::string problem;
  return OpenNamedPrinter(name, problem);
}

}  // namespace ui
