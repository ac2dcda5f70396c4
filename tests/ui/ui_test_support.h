#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/app/startup.h"
#include "core/store/database.h"
#include "support/test_database.h"
#include "ui/common/ExportFormatDialog.h"
#include "ui/common/FolderDialog.h"
#include "ui/common/MessageBox.h"

namespace testing_support {

using Texts = std::vector<QString>;

inline QString Q(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

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

inline void SetText(const QWidget& parent, const char* edit, const QString& text) {
  Find<QLineEdit>(parent, edit)->setText(text);
}

// The text of the named line edit or label.
inline QString Text(const QWidget& parent, const char* name) {
  if (auto* edit = parent.findChild<QLineEdit*>(name)) return edit->text();
  return Find<QLabel>(parent, name)->text();
}

// The texts of the named line edits or labels, in order.
inline Texts TextsOf(const QWidget& parent, std::initializer_list<const char*> names) {
  Texts texts;
  for (const char* name : names) texts.push_back(Text(parent, name));
  return texts;
}

// Types into the focused widget and presses Enter there, as a person would: ASCII key by key,
// other text as the input method commits it.
inline void TypeEnter(QWidget* dialog, const QString& text) {
  QWidget* focused = dialog->focusWidget();
  ASSERT_NE(focused, nullptr);
  bool ascii = true;
  for (QChar c : text) ascii = ascii && c.unicode() < 128;
  if (ascii) {
    QTest::keyClicks(focused, text);
  } else {
    auto* combo = qobject_cast<QComboBox*>(focused);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(combo ? static_cast<QWidget*>(combo->lineEdit()) : focused, &commit);
  }
  QTest::keyClick(focused, Qt::Key_Return);
}

// TypeEnter for each text in turn, Enter walking from field to field.
inline void TypeEach(QWidget* dialog, std::initializer_list<QString> texts) {
  for (const QString& text : texts) TypeEnter(dialog, text);
}

inline QAbstractItemModel* Model(const QWidget& parent, const char* view) {
  return Find<QAbstractItemView>(parent, view)->model();
}
inline int Rows(const QWidget& parent, const char* view) { return Model(parent, view)->rowCount(); }
inline QString Cell(const QWidget& parent, const char* view, int row, int column) {
  return Model(parent, view)->index(row, column).data().toString();
}
// Checks the view's model for as long as the result lives, failing at the first fault.
inline std::unique_ptr<QAbstractItemModelTester> CheckModel(const QWidget& parent,
                                                            const char* view) {
  return std::make_unique<QAbstractItemModelTester>(
      Model(parent, view), QAbstractItemModelTester::FailureReportingMode::Fatal);
}

// The answers the next export or import gets: its format, then its file.
struct FileSeams {
  ui::ExportFormatSeam formats;
  ui::FileChooserSeam chooser;
  void Next(ui::ExportFormat format, const std::filesystem::path& file) {
    formats.SetNextAnswer(format);
    chooser.SetNextAnswer(Q(file));
  }
};

// Clicks the named button and drives the modal dialog of type T that it opens with action;
// true when that dialog came.
template <typename T>
bool ClickInto(const QWidget& parent, const char* button, std::function<void(T*)> action) {
  ModalDriver<T> driver(std::move(action));
  Click(parent, button);
  return driver.ran();
}

// A ModalDriver action that clicks the named button of the dialog.
inline std::function<void(QWidget*)> Press(const char* button) {
  return [button](QWidget* dialog) { Click(*dialog, button); };
}

// A ModalDriver action that fills the named line edits and then clicks the button.
inline std::function<void(QWidget*)> Fill(std::vector<std::pair<const char*, QString>> edits,
                                          const char* button) {
  return [edits = std::move(edits), button](QWidget* dialog) {
    for (const auto& [edit, text] : edits) SetText(*dialog, edit, text);
    Click(*dialog, button);
  };
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
