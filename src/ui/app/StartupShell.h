#pragma once

#include <QPointer>
#include <QTimer>
#include <string_view>

#include "core/app/startup.h"

class QMessageBox;

namespace ui {

// The program's start around the login dialog: runs the start-up with message boxes for its
// questions, keeps the automatic-backup clock running for the program's whole life and opens
// the login dialog. When the login dialog ends, the program ends.
class StartupShell : public app::StartupUi {
 public:
  static constexpr int kBackupClockMs = 60000;

  explicit StartupShell(app::Startup::ProcessNameSource process_names = &app::RunningProcessNames);
  ~StartupShell() override;
  StartupShell(const StartupShell&) = delete;
  StartupShell& operator=(const StartupShell&) = delete;

  // The start-up and the login; returns the program's exit code.
  int Run();

  // One tick of the automatic-backup clock.
  void TickBackupClock();
  const QTimer& backup_clock() const { return backup_clock_; }

  void Message(std::string_view text) override;
  void Notice(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;

 private:
  void ShowClockError();

  app::Startup startup_;
  QTimer backup_clock_;
  QPointer<QMessageBox> clock_message_;
};

}  // namespace ui
