#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class BackupTipDialog;
}

namespace ui {

// "提示" shown while the program writes its automatic backup on the way out: one second after
// it opens it runs the backup and closes itself. It cannot be cancelled, so leaving with F12
// always backs up.
class BackupTipDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(BackupTipDialog)

 public:
  static constexpr int kDelayMs = 1000;

  explicit BackupTipDialog(QWidget* parent = nullptr);
  ~BackupTipDialog() override;

  // Esc and the window's close button are ignored while the backup is pending.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void RunBackup();

  std::unique_ptr<Ui::BackupTipDialog> ui_;
  QTimer delay_;
};

}  // namespace ui
