#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;
class QLineEdit;
class QWidget;

namespace ui {

// Covers a cashier screen after the settings' idle minutes without a key or a click, and asks
// the logged-in cashier's password (or a manager's account and password) to go on. The screen
// underneath, and the sale on it, stay exactly as they were; while it is covered no key or
// click reaches the screen. A screen that has a dialog open above it locks once that closes.
class IdleLock : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(IdleLock)

 public:
  // Watches screen; the minutes come from the settings (10 when they cannot be read, never
  // with 0).
  IdleLock(QWidget* screen, const QString& cashier);
  ~IdleLock() override;

  bool IsLocked() const;
  // Covers the screen now, as the idle time running out does.
  void Lock();
  // The idle time, for tests; 0 never locks.
  void SetIdleInterval(int milliseconds);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnIdle();
  void OnUnlock();
  bool IsOnCover(QObject* object) const;

  QWidget* screen_;
  QString cashier_;
  QTimer idle_;
  QWidget* cover_;
  QLineEdit* account_;
  QLineEdit* password_;
  QLabel* message_;
};

}  // namespace ui
