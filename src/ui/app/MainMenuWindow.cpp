#include "ui/app/MainMenuWindow.h"

#include <QKeyEvent>
#include <string>
#include <utility>

#include "ui/app/BackupTipDialog.h"
#include "ui/app/ModuleLauncher.h"
#include "ui/common/MessageBox.h"
#include "ui_MainMenuWindow.h"

namespace ui {

MainMenuWindow::MainMenuWindow(QString workno, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      ui_(std::make_unique<Ui::MainMenuWindow>()),
      workno_(std::move(workno)),
      launcher_(&LaunchModule) {
  ui_->setupUi(this);
  connect(ui_->menuPicture, &MenuPicture::ModuleClicked, this, &MainMenuWindow::OpenModule);
}

MainMenuWindow::~MainMenuWindow() = default;

void MainMenuWindow::OpenModule(int key) {
  // Whatever a module throws stays inside it and is shown: the menu must outlive every module.
  RunGuarded(this, [&] {
    const app::MenuModule& module = app::ModuleForKey(key);
    if (module.key == 12) {
      ExitWithBackup();
      return;
    }
    std::string right = module.right_column;
    if (!right.empty() && !app::HasRight(workno_.toStdString(), right)) {
      ui::ShowMessage(this, "您没有这个权限");
      return;
    }
    launcher_(module, this, workno_);
  });
}

void MainMenuWindow::ExitWithBackup() {
  BackupTipDialog tip(this);
  tip.exec();
  accept();
}

void MainMenuWindow::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    event->accept();
    OpenModule(key - Qt::Key_F1 + 1);
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace ui
