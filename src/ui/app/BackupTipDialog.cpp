#include "ui/app/BackupTipDialog.h"

#include <exception>

#include "core/servicelib/kasso_basic.h"
#include "ui/common/MessageBox.h"
#include "ui_BackupTipDialog.h"

namespace ui {

BackupTipDialog::BackupTipDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::BackupTipDialog>()) {
  ui_->setupUi(this);
  delay_.setSingleShot(true);
  delay_.setInterval(kDelayMs);
  connect(&delay_, &QTimer::timeout, this, &BackupTipDialog::RunBackup);
}

BackupTipDialog::~BackupTipDialog() = default;

void BackupTipDialog::reject() {}

void BackupTipDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!delay_.isActive()) delay_.start();
}

void BackupTipDialog::RunBackup() {
  try {
    servicelib::HandleBackUp();
  } catch (const std::exception&) {
    // The program is about to end: the user must learn that no copy was written.
    ui::ShowMessage(this, "备份失败");
  }
  accept();
}

}  // namespace ui
