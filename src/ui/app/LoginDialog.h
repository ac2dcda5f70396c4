#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/startup.h"
#include "core/store/file_check.h"

class QAction;

namespace Ui {
class LoginDialog;
}

namespace ui {

// The program's entry and its longest-lived window: refuses a second copy, prepares kasso.db,
// keeps the automatic-backup clock running, and lets an operator log in. A successful login
// runs the main menu above it; when the menu closes, the program ends.
class LoginDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LoginDialog)

 public:
  using ProcessNameSource = std::function<std::optional<std::vector<std::string>>()>;

  static constexpr int kBackupClockMs = 60000;

  explicit LoginDialog(QWidget* parent = nullptr);
  ~LoginDialog() override;

  // The whole start-up and the login; returns the program's exit code. A missing or empty
  // kasso.db is created only when the person says so; a damaged or read-only one is left as
  // it is, and the dialog opens so that "数据恢复" can mend it.
  int Run();

  // Where the single-instance check reads the running processes (the system by default).
  void SetProcessNameSource(ProcessNameSource source) { process_names_ = std::move(source); }

  // One tick of the automatic-backup clock.
  void TickBackupClock();
  const QTimer& backup_clock() const { return backup_clock_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnLogin();
  void OnRestore();
  void OnResetPassword();
  void ShowAbout();
  // Takes the data folder's lock; false after telling that another copy holds it.
  bool TakeFolderLock();
  // Finds, creates on request and upgrades kasso.db; an exit code when the program must end.
  std::optional<int> PrepareDataFile();

  std::unique_ptr<Ui::LoginDialog> ui_;
  ProcessNameSource process_names_;
  std::optional<app::DataFolderLock> folder_lock_;
  store::FileState data_state_ = store::FileState::kMissing;
  QTimer backup_clock_;
  QAction* close_action_;
  QAction* about_action_;
};

}  // namespace ui
