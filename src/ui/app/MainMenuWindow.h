#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/app/main_menu.h"

namespace Ui {
class MainMenuWindow;
}

namespace ui {

// The home screen after login: a borderless window filled by the menu picture, which names the
// shop, the operator and the date. A click on an icon or its function key opens the module,
// after checking the right that guards it. F12 leaves with the automatic backup; Esc and Enter
// ask "是否退出系统?" first and then leave the same way, so no way out skips the backup.
class MainMenuWindow : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MainMenuWindow)

 public:
  using Launcher = std::function<void(const app::MenuModule&, QWidget*, const QString&)>;

  // The date shown is read again at this period, so a menu left open overnight turns the day.
  static constexpr int kSessionRefreshMs = 60000;

  explicit MainMenuWindow(QString workno, QWidget* parent = nullptr);
  ~MainMenuWindow() override;

  const QString& workno() const { return workno_; }

  // Replaces the module launcher; tests watch what the menu opens through it.
  void SetLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

  // Opens the module of function key 1..12 as a click or key press does.
  void OpenModule(int key);

  // Esc and the window's close: asks, and on "是" leaves with the backup.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ExitWithBackup();
  // Reads the shop's name, the operator's name and today's date into the picture.
  void RefreshSession();

  std::unique_ptr<Ui::MainMenuWindow> ui_;
  QString workno_;
  Launcher launcher_;
  QTimer session_clock_;
};

}  // namespace ui
