#include "ui/app/ManualBackup.h"

#include <QProgressDialog>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/store/private_files.h"
#include "ui/common/FolderDialog.h"
#include "ui/common/MessageBox.h"

namespace ui {

void RunCopyWithProgress(QWidget* parent,
                         const std::function<void(const app::CopyProgress&)>& copy) {
  QProgressDialog box("数据复制中, 请稍候...", "取消", 0, 0, parent);
  box.setObjectName("copyProgress");
  box.setWindowTitle("提示");
  // Shown from the first step on: the box's modality is what keeps other screens from being
  // used while the copy hands out events between steps.
  box.setWindowModality(Qt::ApplicationModal);
  box.setMinimumDuration(0);
  box.setAutoReset(false);
  copy([&box](int copied, int total) {
    box.setMaximum(total);
    box.setValue(copied);
    return !box.wasCanceled();
  });
}

QString BackupStartFolder(const QStringList& media) {
  if (!media.isEmpty()) return media.front();
  std::error_code failed;
  const std::filesystem::path folder = app::BackupFolder();
  try {
    store::CreatePrivateFolders(folder);
  } catch (const std::filesystem::filesystem_error&) {
    return QString();
  }
  if (!std::filesystem::is_directory(folder, failed)) return QString();
  return QString::fromStdString(std::filesystem::absolute(folder).lexically_normal().string());
}

void BackUpToChosenFolder(QWidget* parent, const QStringList& media, const QString& workno) {
  std::optional<QString> target =
      FolderDialog::ChooseTarget(parent, QString(), "数据", BackupStartFolder(media));
  if (!target) return;
  try {
    RunCopyWithProgress(parent, [&](const app::CopyProgress& progress) {
      app::BackUpDatabaseTo(std::filesystem::path(target->toStdString()), workno.toStdString(),
                            progress);
    });
  } catch (const app::CopyCancelled&) {
    ui::ShowMessage(parent, "备份被取消");
    return;
  } catch (const std::exception&) {
    ui::ShowMessage(parent, "备份失败");
    return;
  }
  ui::ShowMessage(parent, "备份成功: " + *target);
}

}  // namespace ui
