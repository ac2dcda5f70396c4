#pragma once

class QWidget;

namespace ui {

// "数据恢复" of the login dialog: after the authorization password, replaces kasso.db with a
// backup chosen in FileSearchDialog (extension "dat"). The chosen file is checked before
// anything is replaced, and the replaced kasso.db is kept in the backup folder. Tells
// "数据恢复成功", "数据恢复失败", "数据恢复被取消" or why the file was refused.
void RestoreDatabase(QWidget* parent);

}  // namespace ui
