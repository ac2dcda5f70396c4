#include "ui/common/FileTransfer.h"

#include <filesystem>

#include "core/common/error.h"
#include "ui/app/FileSearchDialog.h"
#include "ui/app/FolderDialog.h"
#include "ui/common/LongTask.h"
#include "ui/common/MessageBox.h"

namespace ui {

QString TransferErrorText(const std::exception& error, const QString& fallback) {
  if (dynamic_cast<const kasso::UserError*>(&error)) return QString::fromUtf8(error.what());
  return fallback;
}

void ExportTable(QWidget* parent, const reports::Table& table, const QString& purpose,
                 const QString& sheet, const std::vector<bool>& number_columns) {
  std::optional<ExportFormat> format = ExportFormatDialog::Choose(parent);
  if (!format) return;
  std::optional<QString> target = FolderDialog::ChooseTarget(parent, FormatName(*format), purpose);
  if (!target) return;
  const std::filesystem::path file(target->toStdString());
  bool finished = false;
  try {
    finished = RunWithProgress(parent, "数据导出中, 请稍候...", table.rows.size(),
                               [&](const reports::Progress& progress) {
                                 if (*format == ExportFormat::kText) {
                                   reports::ExportListAsText(table, file, progress);
                                 } else {
                                   reports::ExportListAsSpreadsheet(
                                       table, file, sheet.toStdString(), number_columns, progress);
                                 }
                               });
  } catch (const std::exception& error) {
    ui::ShowMessage(parent, TransferErrorText(error, "导出有误"));
    return;
  }
  ui::ShowMessage(parent, finished ? "导出完成" : "导出被取消");
}

std::optional<ImportSource> ChooseImportSource(QWidget* parent) {
  std::optional<ExportFormat> format = ExportFormatDialog::Choose(parent);
  if (!format) return std::nullopt;
  const QString extensions = *format == ExportFormat::kText ? "txt" : "xlsx ods xls";
  std::optional<QString> path = FileSearchDialog::ChooseFile(parent, extensions);
  if (!path) return std::nullopt;
  return ImportSource{*format, *path};
}

}  // namespace ui
