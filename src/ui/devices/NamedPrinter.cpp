#include "ui/devices/NamedPrinter.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace ui {

bool IsPdfPrinterName(const QString& name) { return name.endsWith(".pdf", Qt::CaseInsensitive); }

std::unique_ptr<QPrinter> OpenPdfPrinter(const QString& file) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(file);
  return printer;
}

std::unique_ptr<QPrinter> OpenNamedPrinter(const QString& name, std::string& problem) {
  if (IsPdfPrinterName(name)) return OpenPdfPrinter(name);
  QPrinterInfo info =
      name.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
  if (info.isNull()) {
    problem = name.isEmpty() ? "没有默认打印机" : "找不到打印机 " + name.toStdString();
    return nullptr;
  }
  return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

}  // namespace ui
