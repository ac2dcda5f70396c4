#include "ui/app/StartupShell.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <exception>
#include <utility>

#include "core/common/clock.h"
#include "core/serversync/background_sender.h"
#include "core/serversync/shared_data.h"
#include "core/store/database.h"
#include "ui/app/LoginDialog.h"
#include "ui/common/MessageBox.h"

namespace ui {
namespace {

constexpr const char* kProgramTitle = "Tillwise";

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

StartupShell::StartupShell(app::Startup::ProcessNameSource process_names)
    : startup_(std::move(process_names)) {
  // The clock is exact, so that a tick every minute meets minute 0 of each even hour.
  backup_clock_.setTimerType(Qt::PreciseTimer);
  backup_clock_.setInterval(kBackupClockMs);
  QObject::connect(&backup_clock_, &QTimer::timeout, &backup_clock_, [this] { TickBackupClock(); });
}

StartupShell::~StartupShell() { delete clock_message_.data(); }

int StartupShell::Run() {
  if (std::optional<int> exit_code = startup_.Run(*this)) return *exit_code;
  backup_clock_.start();
  // A joined till's changes to the shop's shared data go to the shop server first.
  serversync::InstallCommitGate();
  // Sends what the till queued for the shop server and pulls the shop's changes, on a thread
  // of its own, while it runs.
  serversync::BackgroundSender sender(store::DatabasePath());
  LoginDialog login;
  login.exec();
  // Every way out of the login dialog, with or without a session, ends the program normally.
  return 0;
}

void StartupShell::Message(std::string_view text) { ShowMessage(nullptr, Text(text)); }

void StartupShell::Notice(std::string_view text) { ShowMessage(nullptr, Text(text), QString()); }

bool StartupShell::AskYesNo(std::string_view text) { return ui::AskYesNo(nullptr, Text(text)); }

void StartupShell::TickBackupClock() {
  try {
    app::TickBackupClock(common::Now());
  } catch (const std::exception&) {
    ShowClockError();
  }
}

// A failed scheduled backup is told without a modal box and without taking the focus: the
// clock fires under whatever screen is on top, and a box grabbing the keyboard there would
// swallow the next scanned barcode. One such box at a time is enough.
void StartupShell::ShowClockError() {
  if (MessageBoxSeam* seam = MessageBoxSeam::Active()) {
    seam->Record({kProgramTitle, "时钟有误", false});
    return;
  }
  if (clock_message_ && clock_message_->isVisible()) return;
  auto* box = new QMessageBox(QMessageBox::NoIcon, kProgramTitle, "时钟有误", QMessageBox::Ok,
                              QApplication::activeModalWidget());
  box->setObjectName("clockMessage");
  box->button(QMessageBox::Ok)->setText("确定");
  box->setWindowModality(Qt::NonModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setAttribute(Qt::WA_ShowWithoutActivating);
  box->show();
  clock_message_ = box;
}

}  // namespace ui
