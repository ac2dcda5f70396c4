#include "ui/backoffice/goods/GoodsFileTransfer.h"

#include <filesystem>
#include <optional>

#include "core/backoffice/goods/goods_files.h"
#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
#include "ui/common/ExportFormatDialog.h"
#include "ui/common/FileSearchDialog.h"
#include "ui/common/FileTransfer.h"
#include "ui/common/MessageBox.h"

namespace ui {

void ExportGoods(QWidget* parent) {
  ExportToFile(
      parent, "商品", backoffice::CountGoods,
      [](ExportFormat format, const std::filesystem::path& file, const files::Progress& progress) {
        if (format == ExportFormat::kText) {
          backoffice::ExportGoodsText(file, progress);
        } else {
          backoffice::ExportGoodsSpreadsheet(file, progress);
        }
      });
}

bool ImportGoods(QWidget* parent) {
  ShowMessage(parent, "相同条码商品不被导入");
  std::optional<ExportFormat> format = ExportFormatDialog::Choose(parent);
  if (!format) return false;
  const bool text = *format == ExportFormat::kText;
  if (!text) {
    ShowMessage(parent,
                "Excel文件必须包括下图标出的内容：\n\n"
                "工作表: 商品信息\n"
                "必须的列: 条码, 名称\n"
                "可选的列: 售价, 进价, 平均进价, 单位, 类别, 称重商品, PLU编号, 库存",
                "提示");
  }
  std::optional<QString> path = FileSearchDialog::ChooseFile(parent, text ? "txt" : "xlsx ods xls");
  if (!path) return false;
  const std::filesystem::path file(path->toStdString());
  backoffice::GoodsImported imported;
  const bool finished = RunImportWork(parent, text, [&](const files::Progress& progress) {
    imported = text ? backoffice::ImportGoodsText(file, progress)
                    : servicelib::GoodsDataImportFromExcel(file.string(), progress);
  });
  if (!finished) return false;
  ShowMessage(parent, QString("导入成功\n新增 %1 个商品, 相同条码跳过 %2 个")
                          .arg(imported.added)
                          .arg(imported.skipped));
  return imported.added > 0;
}

}  // namespace ui
