#pragma once

#include <QDialog>
#include <memory>

class QAction;
class QTimer;

namespace Ui {
class LoginDialog;
}

namespace ui {

// The program's longest-lived window: lets an operator log in, and offers the restore and the
// reset of account "0" without a login. A successful login runs the main menu above it; when
// the menu closes, the dialog ends, and with it the program.
class LoginDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LoginDialog)

 public:
  explicit LoginDialog(QWidget* parent = nullptr);
  ~LoginDialog() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnLogin();
  void OnRestore();
  void OnResetPassword();
  void ShowAbout();
  // Shows how long the account must still wait, once a second, and holds the login button
  // until the wait is over.
  void StartCountdown(const QString& account);
  void OnCountdownTick();

  std::unique_ptr<Ui::LoginDialog> ui_;
  QAction* close_action_;
  QAction* about_action_;
  QTimer* countdown_;
  QString waiting_account_;
};

}  // namespace ui
