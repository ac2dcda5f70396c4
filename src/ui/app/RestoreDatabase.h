#pragma once

class QWidget;

namespace app {

// "数据恢复" of the login dialog: after the authorization password, replaces kasso.db with a
// chosen backup.
void RestoreDatabase(QWidget* parent);

}  // namespace app
