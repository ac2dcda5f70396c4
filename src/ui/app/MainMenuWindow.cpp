#include "ui/app/MainMenuWindow.h"

#include <QDate>
#include <QKeyEvent>
#include <QLocale>
#include <exception>
#include <string>
#include <utility>

#include "core/common/clock.h"
#include "core/servicelib/kasso_basic.h"
#include "core/settings/settings.h"
#include "ui/app/BackupTipDialog.h"
#include "ui/app/ModuleLauncher.h"
#include "ui/common/MessageBox.h"
#include "ui_MainMenuWindow.h"

namespace ui {
namespace {

// The shop's name is the first line of the receipt header ("前置语"); none when the settings
// cannot be read.
QString ShopName() {
  try {
    store::Database db;
    QString header = QString::fromStdString(settings::LoadSettings(db).welcome).trimmed();
    return header.section('\n', 0, 0).trimmed();
  } catch (const std::exception&) {
    return QString();
  }
}

}  // namespace

MainMenuWindow::MainMenuWindow(QString workno, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      ui_(std::make_unique<Ui::MainMenuWindow>()),
      workno_(std::move(workno)),
      launcher_(&LaunchModule) {
  ui_->setupUi(this);
  connect(ui_->menuPicture, &MenuPicture::ModuleClicked, this, &MainMenuWindow::OpenModule);
  session_clock_.setInterval(kSessionRefreshMs);
  connect(&session_clock_, &QTimer::timeout, this, &MainMenuWindow::RefreshSession);
  session_clock_.start();
  RefreshSession();
}

MainMenuWindow::~MainMenuWindow() = default;

void MainMenuWindow::RefreshSession() {
  const std::string workno = workno_.toStdString();
  QString name = QString::fromStdString(servicelib::GetOperatorName(workno));
  QString who = name.isEmpty() ? workno_ : QString("%1 (%2)").arg(name, workno_);
  const std::tm now = kasso::Now();
  QDate today(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
  QString date = QString::fromStdString(kasso::FormatTime(now, "%Y-%m-%d")) + " " +
                 QLocale(QLocale::Chinese, QLocale::China).dayName(today.dayOfWeek());
  ui_->menuPicture->SetSession(ShopName(), QString("操作员: %1    %2").arg(who, date));
}

void MainMenuWindow::OpenModule(int key) {
  // Whatever a module throws stays inside it and is shown: the menu must outlive every module.
  RunGuarded(this, [&] {
    const app::MenuModule& module = app::ModuleForKey(key);
    if (module.key == 12) {
      ExitWithBackup();
      return;
    }
    if (module.needed_right && !app::HasRight(workno_.toStdString(), *module.needed_right)) {
      ui::ShowMessage(this, "您没有这个权限");
      return;
    }
    launcher_(module, this, workno_);
  });
  // The settings may have renamed the shop, the accounts the operator.
  RefreshSession();
}

void MainMenuWindow::ExitWithBackup() {
  BackupTipDialog tip(this);
  tip.exec();
  accept();
}

void MainMenuWindow::reject() {
  if (ui::AskYesNo(this, "是否退出系统?")) ExitWithBackup();
}

void MainMenuWindow::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    event->accept();
    OpenModule(key - Qt::Key_F1 + 1);
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Enter ends the menu as Esc does; a barcode scanned here by mistake ends with it, so it
    // asks too.
    event->accept();
    reject();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace ui
