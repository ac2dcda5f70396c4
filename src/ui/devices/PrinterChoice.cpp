#include "ui/devices/PrinterChoice.h"

#include <QComboBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

#include "ui/common/FolderDialog.h"
#include "ui/devices/NamedPrinter.h"

namespace ui {

void OfferPrinters(QComboBox* combo, const QString& purpose) {
  combo->addItems(QPrinterInfo::availablePrinterNames());
  combo->addItem(QString::fromUtf8(kPdfFileEntry));
  combo->setCurrentIndex(-1);

  // The name shown before "PDF 文件…" was picked, to put back when no file is chosen.
  auto previous = std::make_shared<QString>();
  QObject::connect(combo, &QComboBox::currentTextChanged, combo, [previous](const QString& text) {
    if (text != QString::fromUtf8(kPdfFileEntry)) *previous = text;
  });
  QObject::connect(combo, &QComboBox::activated, combo, [combo, purpose, previous](int index) {
    if (combo->itemText(index) != QString::fromUtf8(kPdfFileEntry)) return;
    const QString restore = *previous;
    const std::optional<QString> file = ChoosePdfFile(combo->window(), purpose);
    const QString name = file ? *file : restore;
    int at = combo->findText(name);
    if (at < 0 && !name.isEmpty()) {
      combo->insertItem(combo->count() - 1, name);
      at = combo->count() - 2;
    }
    combo->setCurrentIndex(at);
    if (combo->isEditable()) combo->setEditText(name);
  });
}

std::optional<QString> ChoosePdfFile(QWidget* parent, const QString& purpose) {
  const std::optional<QString> chosen = FolderDialog::ChooseTarget(parent, "pdf", purpose);
  if (!chosen) return std::nullopt;
  QString file = *chosen;
  // The printing code takes a name ending in ".pdf" for a file, so the name must end so.
  if (!IsPdfPrinterName(file)) file += ".pdf";
  return file;
}

QString PrintedToText(const QString& printer_name) {
  if (IsPdfPrinterName(printer_name)) return "已打印到 PDF: " + printer_name;
  return "已送到打印机 " + printer_name;
}

QString PrintedToText(const QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    return "已打印到 PDF: " + printer.outputFileName();
  }
  return "已送到打印机 " + printer.printerName();
}

}  // namespace ui
