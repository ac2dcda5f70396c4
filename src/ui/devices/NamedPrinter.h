#pragma once

#include <QString>
#include <memory>
#include <string>

class QPrinter;

namespace ui {

// True for a printer name that means "write a PDF file of this name".
bool IsPdfPrinterName(const QString& name);

// The printer a name from the settings stands for: a name ending in ".pdf" is a PDF file of
// that name, any other name the system printer (CUPS) of that name, an empty name the default
// printer. Null, with the reason in `problem`, when there is no such printer.
std::unique_ptr<QPrinter> OpenNamedPrinter(const QString& name, std::string& problem);

// A PDF printer writing to the given file, at high resolution.
std::unique_ptr<QPrinter> OpenPdfPrinter(const QString& file);

}  // namespace ui
