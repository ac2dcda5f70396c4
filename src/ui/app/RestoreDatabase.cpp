#include "ui/app/RestoreDatabase.h"

#include <QFileInfo>
#include <exception>
#include <filesystem>

#include "core/app/backup.h"
#include "core/app/restore.h"
#include "core/common/error.h"
#include "ui/app/AuthorizationDialog.h"
#include "ui/app/ManualBackup.h"
#include "ui/common/FileSearchDialog.h"
#include "ui/common/MessageBox.h"

namespace ui {
namespace {

// The automatic backups come first, since they are what is usually restored.
QStringList RestoreRoots() {
  QStringList roots = FileChooserRoots();
  QString backups = QString::fromStdString(app::BackupFolder().string());
  if (QFileInfo(backups).isDir()) roots.prepend(QFileInfo(backups).absoluteFilePath());
  return roots;
}

// Restores the chosen file and says how it went.
void RestoreChosenFile(QWidget* parent, const QString& chosen) {
  try {
    RunCopyWithProgress(parent, [&](const app::CopyProgress& progress) {
      app::RestoreDatabaseFrom(std::filesystem::path(chosen.toStdString()), progress);
    });
  } catch (const common::UserError& refused) {
    ui::ShowMessage(parent, QString::fromUtf8(refused.what()));
    return;
  } catch (const app::CopyCancelled&) {
    ui::ShowMessage(parent, "数据恢复被取消");
    return;
  } catch (const std::exception&) {
    ui::ShowMessage(parent, "数据恢复失败");
    return;
  }
  ui::ShowMessage(parent, "数据恢复成功");
}

}  // namespace

void RestoreDatabase(QWidget* parent) {
  if (!Authorize(parent)) return;
  std::optional<QString> chosen = FileSearchDialog::ChooseFile(parent, "dat", RestoreRoots());
  if (chosen) RestoreChosenFile(parent, *chosen);
  // Every authorized attempt ends with the drawer-command group, whatever became of it; on an
  // up-to-date file it changes nothing.
  app::RepeatDrawerCommandGroup();
}

}  // namespace ui
