#include "ui/backoffice/goods/StockFileTransfer.h"

#include <filesystem>
#include <functional>
#include <optional>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stocktake.h"
#include "ui/common/ExportFormatDialog.h"
#include "ui/common/FileSearchDialog.h"
#include "ui/common/FileTransfer.h"
#include "ui/common/MessageBox.h"

namespace ui {
namespace {

// What an import screen says before the file is chosen, and after.
struct ImportTexts {
  QString text_note;
  QString sheet_note;
  QString sheet_note_title;
  QString text_done;
  QString sheet_done;
};

// The common steps: format, the layout note, the file, the work with a progress box, and the
// message. The work returns what to add to the closing message. False when nothing was
// imported (cancelled or refused).
bool RunImport(QWidget* parent, const ImportTexts& texts,
               const std::function<QString(bool text, const std::filesystem::path&,
                                           const files::Progress&)>& work) {
  std::optional<ExportFormat> format = ExportFormatDialog::Choose(parent);
  if (!format) return false;
  const bool text = *format == ExportFormat::kText;
  if (text) {
    ShowMessage(parent, texts.text_note, "提示");
  } else {
    ShowMessage(parent, texts.sheet_note, texts.sheet_note_title);
  }
  std::optional<QString> path = FileSearchDialog::ChooseFile(parent, text ? "txt" : "xlsx ods xls");
  if (!path) return false;
  const std::filesystem::path file(path->toStdString());
  QString summary;
  if (!RunImportWork(parent, text, [&](const files::Progress& progress) {
        summary = work(text, file, progress);
      })) {
    return false;
  }
  ShowMessage(parent, (text ? texts.text_done : texts.sheet_done) + summary);
  return true;
}

}  // namespace

bool ImportPurchaseBill(QWidget* parent) {
  const ImportTexts texts{"导入文本文件必须包含以下字段:\n\n条码，数量，金额(以逗号隔开)",
                          "Excel文件必须如下图标示的内容：\n\n"
                          "工作表: 进货单\n"
                          "第一行为列名: 条码, 数量, 金额",
                          "Excel导入提示", "导入成功", "导入成功"};
  return RunImport(
      parent, texts,
      [](bool text, const std::filesystem::path& file, const files::Progress& progress) {
        const backoffice::BillImported imported =
            text ? backoffice::ImportPurchaseText(file, progress)
                 : backoffice::ImportPurchaseExcel(file, progress);
        return QString("\n新增 %1 行, 累加 %2 行, 不是商品的条码跳过 %3 行")
            .arg(imported.added)
            .arg(imported.merged)
            .arg(imported.skipped);
      });
}

bool ImportCounts(QWidget* parent) {
  const ImportTexts texts{"盘点导入文件的格式必须是: 条码,数量",
                          "盘点导入文件中必须包括: 条码,盘存数量", "提示", "完成", "导入成功"};
  return RunImport(
      parent, texts,
      [](bool text, const std::filesystem::path& file, const files::Progress& progress) {
        const backoffice::CountsImported imported =
            text ? backoffice::ImportCountsText(file, progress)
                 : backoffice::ImportCountsExcel(file, progress);
        return QString("\n盘点 %1 行, 不在盘点单中跳过 %2 行")
            .arg(imported.counted)
            .arg(imported.skipped);
      });
}

void ExportStocktake(QWidget* parent) {
  ExportToFile(
      parent, "盘点", backoffice::CountStocktakeRows,
      [](ExportFormat format, const std::filesystem::path& file, const files::Progress& progress) {
        if (format == ExportFormat::kText) {
          backoffice::ExportStocktakeText(file, progress);
        } else {
          backoffice::ExportStocktakeSpreadsheet(file, progress);
        }
      });
}

}  // namespace ui
