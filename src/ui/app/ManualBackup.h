#pragma once

#include <functional>

#include "core/app/backup.h"

class QWidget;

namespace ui {

// F10 of the main menu (no right needed): asks with FolderDialog (purpose "数据") where a copy
// of kasso.db goes and writes it there, replacing a file of that name. Tells "备份成功",
// "备份被取消" (stopped during the copy) or "备份失败"; a chooser closed with "取消" says nothing.
void BackUpToChosenFolder(QWidget* parent);

// Runs a database copy under a modal progress box whose "取消" makes the copy throw
// CopyCancelled. The box is gone when this returns.
void RunCopyWithProgress(QWidget* parent,
                         const std::function<void(const app::CopyProgress&)>& copy);

}  // namespace ui
