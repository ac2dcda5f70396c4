#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace testing_support {

// Drives the dialog of type T that a handler runs with exec(): as soon as one is the active
// modal window, action runs on it once. Stops watching when it leaves scope.
template <typename T>
class ModalDriver {
 public:
  explicit ModalDriver(std::function<void(T*)> action) : action_(std::move(action)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
    timer_.start();
  }
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  bool ran() const { return ran_; }

 private:
  void Poll() {
    T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    timer_.stop();
    ran_ = true;
    action_(dialog);
  }

  std::function<void(T*)> action_;
  QTimer timer_;
  bool ran_ = false;
};

// Processes events until the condition holds or the time is up; returns the condition.
inline bool WaitFor(const std::function<bool()>& condition, int timeout_ms = 5000) {
  for (int waited = 0; !condition() && waited < timeout_ms; waited += 10) QTest::qWait(10);
  return condition();
}

}  // namespace testing_support
