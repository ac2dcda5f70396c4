#pragma once

#include <QDialog>

namespace app {
// Placeholder until the login screen lands.
class LoginDialog : public QDialog {
  Q_OBJECT
 public:
  int Run() { return 0; }
};
}  // namespace app
