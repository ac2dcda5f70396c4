#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "core/app/startup.h"
#include "core/store/database.h"

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

// Drives a window of type T that is shown without a modal loop of its own (a progress box
// shown while work runs and hands out events now and then): on its first Show the action is
// queued and runs at the next turn of the event loop, however quick or slow the work is.
template <typename T>
class ShownDriver : public QObject {
 public:
  explicit ShownDriver(std::function<void(T*)> action) : action_(std::move(action)) {
    qApp->installEventFilter(this);
  }
  ~ShownDriver() override { qApp->removeEventFilter(this); }
  bool ran() const { return ran_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    T* window = qobject_cast<T*>(watched);
    if (window && event->type() == QEvent::Show && !queued_) {
      queued_ = true;
      QTimer::singleShot(0, this, [this, window] {
        ran_ = true;
        action_(window);
      });
    }
    return false;
  }

 private:
  std::function<void(T*)> action_;
  bool queued_ = false;
  bool ran_ = false;
};

// Processes events until the condition holds or the time is up; returns the condition.
inline bool WaitFor(const std::function<bool()>& condition, int timeout_ms = 5000) {
  for (int waited = 0; !condition() && waited < timeout_ms; waited += 10) QTest::qWait(10);
  return condition();
}

// The named child widget; a missing one fails the test by name.
template <typename T>
T* Find(const QWidget& parent, const char* name) {
  T* widget = parent.findChild<T*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

inline void Click(const QWidget& parent, const char* button) {
  Find<QAbstractButton>(parent, button)->click();
}

// A ModalDriver action that clicks the named button of the dialog.
inline std::function<void(QWidget*)> Press(const char* button) {
  return [button](QWidget* dialog) { Click(*dialog, button); };
}

// A ModalDriver action for the authorization prompt: the right password, then confirm.
inline void Authorize(QWidget* prompt) {
  Find<QLineEdit>(*prompt, "passwordEdit")->setText(app::kAuthorizationPassword);
  Click(*prompt, "confirmButton");
}

// An ordinary goods item with every column the sale screens read.
inline void AddGoods(const std::string& barcode, const std::string& name, double price) {
  store::Database(store::DatabasePath())
      .Exec(
          "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
          "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
          "givepoints,iscombined) values (?,?,'个','未分类',?,?,0,0,'2024-01-01 00:00:00',"
          "'否',0,0,1,'否')",
          barcode, name, price, price);
}

}  // namespace testing_support
