#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "core/app/main_menu.h"

namespace Ui {
class MainMenuWindow;
}

namespace ui {

// The home screen after login: a borderless window filled by the menu picture. A click on an
// icon or its function key opens the module, after checking the right that guards it. F12
// leaves with the automatic backup; Esc and Enter leave without it.
class MainMenuWindow : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MainMenuWindow)

 public:
  using Launcher = std::function<void(const app::MenuModule&, QWidget*, const QString&)>;

  explicit MainMenuWindow(QString workno, QWidget* parent = nullptr);
  ~MainMenuWindow() override;

  const QString& workno() const { return workno_; }

  // Replaces the module launcher; tests watch what the menu opens through it.
  void SetLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

  // Opens the module of function key 1..12 as a click or key press does.
  void OpenModule(int key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ExitWithBackup();

  std::unique_ptr<Ui::MainMenuWindow> ui_;
  QString workno_;
  Launcher launcher_;
};

}  // namespace ui
