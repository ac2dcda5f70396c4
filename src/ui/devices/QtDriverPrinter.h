#pragma once

#include <QString>
#include <string>
#include <utility>

#include "core/devices/slip_printer.h"

namespace ui {

// Prints slips through Qt Print Support: one page of roll paper as wide as the roll and as
// long as the slip, in a monospaced CJK font sized so the slip's columns fill the printable
// width. A printer name ending in ".pdf" (or the PDF file given to the constructor) renders
// the slip to that PDF file instead, for a till without a printer and for tests.
class QtDriverPrinter : public print::DriverPrinter {
 public:
  QtDriverPrinter() = default;
  // Every slip goes to this PDF file (overwritten each time), whatever printer is named.
  explicit QtDriverPrinter(QString pdf_file) : pdf_file_(std::move(pdf_file)) {}

  std::string Print(const print::Slip& slip, const std::string& printer_name,
                    int paper_mm) override;

 private:
  QString pdf_file_;
};

// Registers the program's driver printer with core; call once after the QApplication exists.
void InstallDriverPrinter();

}  // namespace ui
