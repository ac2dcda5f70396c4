#include "ui/common/FileTransfer.h"

#include <filesystem>

#include "core/common/error.h"
#include "ui/common/FileSearchDialog.h"
#include "ui/common/FolderDialog.h"
#include "ui/common/LongTask.h"
#include "ui/common/MessageBox.h"

namespace ui {

QString TransferErrorText(const std::exception& error, const QString& fallback) {
  if (dynamic_cast<const common::UserError*>(&error)) return QString::fromUtf8(error.what());
  return fallback;
}

void ExportTable(QWidget* parent, const files::Table& table, const QString& purpose,
                 const QString& sheet, const std::vector<bool>& number_columns) {
  ExportToFile(
      parent, purpose, [&] { return table.rows.size(); },
      [&](ExportFormat format, const std::filesystem::path& file, const files::Progress& progress) {
        if (format == ExportFormat::kText) {
          files::ExportListAsText(table, file, progress);
        } else {
          files::ExportListAsSpreadsheet(table, file, sheet.toStdString(), number_columns,
                                         progress);
        }
      });
}

void ExportToFile(QWidget* parent, const QString& purpose,
                  const std::function<std::size_t()>& count_rows, const FileWriter& write) {
  std::optional<ExportFormat> format = ExportFormatDialog::Choose(parent);
  if (!format) return;
  std::optional<QString> target = FolderDialog::ChooseTarget(parent, FormatName(*format), purpose);
  if (!target) return;
  const std::filesystem::path file(target->toStdString());
  bool finished = false;
  try {
    finished =
        RunWithProgress(parent, "数据导出中, 请稍候...", count_rows(),
                        [&](const files::Progress& progress) { write(*format, file, progress); });
  } catch (const std::exception& error) {
    ShowMessage(parent, TransferErrorText(error, "导出有误"));
    return;
  }
  ShowMessage(parent, finished ? "导出完成" : "导出被取消");
}

bool RunImportWork(QWidget* parent, bool text,
                   const std::function<void(const files::Progress&)>& work) {
  bool finished = false;
  try {
    finished = RunWithProgress(parent, "数据导入中, 请稍候...", kRowsUnknown, work);
  } catch (const std::exception& error) {
    ShowMessage(parent, TransferErrorText(error, text ? "导入有误" : "数据导入有误"));
    return false;
  }
  if (!finished) ShowMessage(parent, "导入被取消");
  return finished;
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
