#pragma once

// The printer fields of every screen: the installed printers and a PDF file, for a till
// without a printer; and the message that says where a print went.

#include <QString>
#include <optional>

class QComboBox;
class QPrinter;
class QWidget;

namespace ui {

// The entry of a printer list that prints to a PDF file instead of a printer.
inline constexpr char kPdfFileEntry[] = "PDF 文件…";

// Fills a printer drop-down with the installed printers and "PDF 文件…". Choosing "PDF 文件…"
// asks for the file (ChoosePdfFile) and puts its path in the box as the printer name, which
// the printing code writes as a PDF file; cancelling the chooser puts back the name shown
// before. No entry is chosen by this call.
void OfferPrinters(QComboBox* combo, const QString& purpose);

// The file chooser ("文件管理") for a PDF file, proposing purpose + time + ".pdf": the chosen
// path, ending in ".pdf" (added when the name was typed without it), or nothing when cancelled.
std::optional<QString> ChoosePdfFile(QWidget* parent, const QString& purpose);

// What to tell the user once a print is done: "已打印到 PDF: <file>" or "已送到打印机 <name>".
QString PrintedToText(const QString& printer_name);
QString PrintedToText(const QPrinter& printer);

}  // namespace ui
