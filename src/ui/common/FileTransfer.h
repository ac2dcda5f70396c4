#pragma once

// The steps every list screen takes to write its rows to a file or to pick a file to import.

#include <QString>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "core/files/list_export.h"
#include "ui/common/ExportFormatDialog.h"

class QWidget;

namespace ui {

// "数据导出" of a list: the format ("导出格式"), the target file ("文件管理", default name
// purpose + time + ".txt" or ".xlsx"), then the text file (titles line, every field followed
// by ",") or the workbook with one sheet named sheet, with a progress box for long lists.
// Ends with "导出完成"; a failure shows its own message ("不能创建文件: ...") or "导出有误",
// a stop through "取消" shows "导出被取消". Nothing is asked about spreadsheet programs: the
// till writes the workbook itself.
void ExportTable(QWidget* parent, const files::Table& table, const QString& purpose,
                 const QString& sheet, const std::vector<bool>& number_columns = {});

// Writes rows to file in the chosen format, reporting through progress.
using FileWriter = std::function<void(ExportFormat format, const std::filesystem::path& file,
                                      const files::Progress& progress)>;

// The same steps for any export: the format, the target file (default name purpose + time),
// the rows counted, written with a progress box when there are many, and the closing message.
// A failure to count is shown as a failed export.
void ExportToFile(QWidget* parent, const QString& purpose,
                  const std::function<std::size_t()>& count_rows, const FileWriter& write);

// The import's work in a progress box, its failure shown ("导入有误" for text files, "数据导入有误"
// for spreadsheets, or the error's own message) and a stop shown as "导入被取消". True only when
// the work ran to its end.
bool RunImportWork(QWidget* parent, bool text,
                   const std::function<void(const files::Progress&)>& work);

struct ImportSource {
  ExportFormat format = ExportFormat::kText;
  QString path;
};

// The first steps of an import: the format ("导出格式"), then the file ("文件搜索", ".txt" files
// for text; ".xlsx", ".ods" and ".xls" for spreadsheets). Nothing when either is cancelled.
std::optional<ImportSource> ChooseImportSource(QWidget* parent);

// The message for a failed import or export: the text of a common::UserError as it is (it
// names the file, the line or the field), fallback ("导出有误", "数据导入有误") for anything
// else.
QString TransferErrorText(const std::exception& error, const QString& fallback);

}  // namespace ui
