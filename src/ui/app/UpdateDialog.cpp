#include "ui/app/UpdateDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <exception>

#include "core/app/backup.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Version.h"
#include "ui_UpdateDialog.h"

namespace ui {
namespace {

QString PackageName() {
  return QString::fromUtf8(app::kPackageName.data(), app::kPackageName.size());
}

QString QueryAptPolicy() {
  QProcess apt;
  // The parser reads apt's English field names.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("LC_ALL", "C");
  environment.remove("LANGUAGE");
  apt.setProcessEnvironment(environment);
  apt.start("apt-cache", {"policy", PackageName()});
  if (!apt.waitForFinished(15000)) return {};
  return QString::fromUtf8(apt.readAllStandardOutput());
}

// Waits in an event loop, so the window repaints while apt works and polkit asks for the
// administrator's password.
QString InstallThroughApt() {
  QProcess apt;
  apt.setProcessChannelMode(QProcess::MergedChannels);
  QEventLoop loop;
  QObject::connect(&apt, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&apt, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) loop.quit();
  });
  apt.start("pkexec", {"apt-get", "install", "-y", "--only-upgrade", PackageName()});
  if (apt.state() != QProcess::NotRunning) loop.exec();
  if (apt.error() == QProcess::FailedToStart) return "找不到 pkexec";
  if (apt.exitStatus() == QProcess::NormalExit && apt.exitCode() == 0) return {};
  // pkexec answers 126 when the password dialog was dismissed, 127 when not authorised.
  if (apt.exitCode() == 126 || apt.exitCode() == 127) return "没有得到管理员授权";
  QStringList output = QString::fromUtf8(apt.readAll()).split('\n', Qt::SkipEmptyParts);
  return output.isEmpty() ? QString("apt-get 出错 (%1)").arg(apt.exitCode()) : output.last();
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

UpdateDialog::UpdateDialog(QWidget* parent, PolicySource policy, Installer installer)
    : QDialog(parent),
      ui_(std::make_unique<Ui::UpdateDialog>()),
      policy_(policy ? std::move(policy) : QueryAptPolicy),
      installer_(installer ? std::move(installer) : InstallThroughApt) {
  ui_->setupUi(this);
  ui_->versionLabel->setText("当前版本: " + VersionText());
  connect(ui_->upgradeButton, &QPushButton::clicked, this, &UpdateDialog::OnUpgrade);
  connect(ui_->closeButton, &QPushButton::clicked, this, &UpdateDialog::reject);
  Check();
}

UpdateDialog::~UpdateDialog() = default;

void UpdateDialog::reject() {
  if (!installing_) QDialog::reject();  // an upgrade under way runs to its end
}

void UpdateDialog::Check() {
  check_ = app::ParseAptPolicy(policy_().toStdString());
  QString status;
  switch (check_.state) {
    case app::UpdateState::kNoSource:
      status = "没有找到软件更新源";
      break;
    case app::UpdateState::kNotInstalled:
      status = "本机的收银程序不是用软件包安装的, 不能在这里升级 (更新源里有 " +
               Q(check_.candidate) + ")";
      break;
    case app::UpdateState::kUpToDate:
      status = "已是最新版本 (" + Q(check_.installed) + ")";
      break;
    case app::UpdateState::kNewer:
      status = "有新版本 " + Q(check_.candidate) + " (已安装 " + Q(check_.installed) + ")";
      break;
  }
  ui_->statusLabel->setText(status);
  ui_->upgradeButton->setEnabled(check_.state == app::UpdateState::kNewer);
}

void UpdateDialog::OnUpgrade() {
  if (check_.state != app::UpdateState::kNewer) return;
  if (!AskYesNo(this, "先备份数据, 再安装新版本 " + Q(check_.candidate) + "。是否升级?")) return;
  try {
    app::WriteAutomaticBackup();
  } catch (const std::exception& error) {
    ShowMessage(this, "备份失败, 没有升级: " + ErrorText(error));
    return;
  }
  installing_ = true;
  ui_->upgradeButton->setEnabled(false);
  ui_->closeButton->setEnabled(false);
  ui_->statusLabel->setText("正在安装新版本 " + Q(check_.candidate) + " ...");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QString failure = installer_();
  QApplication::restoreOverrideCursor();
  installing_ = false;
  ui_->closeButton->setEnabled(true);
  if (!failure.isEmpty()) {
    ShowMessage(this, "升级没有完成: " + failure);
    Check();
    return;
  }
  ui_->statusLabel->setText("新版本 " + Q(check_.candidate) + " 已安装, 重新启动收银程序后生效");
  ShowMessage(this, "升级完成, 请退出 (F12) 后重新启动收银程序");
}

}  // namespace ui
