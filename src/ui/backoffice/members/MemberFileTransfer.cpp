#include "ui/backoffice/members/MemberFileTransfer.h"

#include <filesystem>
#include <optional>

#include "core/backoffice/members/member_files.h"
#include "ui/common/ExportFormatDialog.h"
#include "ui/common/FileSearchDialog.h"
#include "ui/common/FileTransfer.h"
#include "ui/common/MessageBox.h"

namespace ui {

void ExportMembers(QWidget* parent) {
  ExportToFile(
      parent, "会员", backoffice::CountMembers,
      [](ExportFormat format, const std::filesystem::path& file, const files::Progress& progress) {
        if (format == ExportFormat::kText) {
          backoffice::ExportMembersText(file, progress);
        } else {
          backoffice::ExportMembersSpreadsheet(file, progress);
        }
      });
}

bool ImportMembers(QWidget* parent) {
  std::optional<ExportFormat> format = ExportFormatDialog::Choose(parent);
  if (!format) return false;
  const bool text = *format == ExportFormat::kText;
  if (text) {
    ShowMessage(parent, "相同编号会员不被导入");
  } else {
    ShowMessage(parent,
                "导入Excel文件必须包含以下字段:\n\n"
                "编号,名称,身份证,电话,地址,性别,积分,积分值,储值,储值金额",
                "提示");
  }
  std::optional<QString> path = FileSearchDialog::ChooseFile(parent, text ? "txt" : "xlsx ods xls");
  if (!path) return false;
  const std::filesystem::path file(path->toStdString());
  backoffice::MembersImported imported;
  const bool finished = RunImportWork(parent, text, [&](const files::Progress& progress) {
    imported = text ? backoffice::ImportMembersText(file, progress)
                    : backoffice::ImportMembersSpreadsheet(file, progress);
  });
  if (!finished) return false;
  ShowMessage(parent, QString("导入成功\n新增 %1 个会员, 相同编号跳过 %2 个")
                          .arg(imported.added)
                          .arg(imported.skipped));
  return imported.added > 0;
}

}  // namespace ui
