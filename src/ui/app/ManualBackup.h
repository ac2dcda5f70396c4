#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "core/app/backup.h"
#include "ui/common/FolderDialog.h"

class QWidget;

namespace ui {

// Where the backup's chooser opens: the first of the mounted media (a USB stick, so the copy
// can leave the till) or, when none is mounted, the backup folder beside kasso.db, which is
// made when missing. Empty when neither can be had.
QString BackupStartFolder(const QStringList& media);

// F10 of the main menu (no right needed): asks with FolderDialog (purpose "数据"), opened on
// BackupStartFolder, where a copy of kasso.db goes and writes it there, replacing a file of
// that name. Tells "备份成功: <file>", "备份被取消" (stopped during the copy) or "备份失败"; a
// chooser closed with "取消" says nothing.
void BackUpToChosenFolder(QWidget* parent, const QStringList& media = RemovableMedia(),
                          const QString& workno = QString());

// Runs a database copy under a modal progress box whose "取消" makes the copy throw
// CopyCancelled. The box is gone when this returns.
void RunCopyWithProgress(QWidget* parent,
                         const std::function<void(const app::CopyProgress&)>& copy);

}  // namespace ui
