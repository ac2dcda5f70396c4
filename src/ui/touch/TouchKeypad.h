#pragma once

// The keys of the touch pads and the entry boxes they type into.

#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace ui {

// A grid of keys: digits "0" ... "9" and the extra characters given ("." "·" "-"), then
// "退格". A key appends its caption to the active box. Object names: "key0" ... "key9",
// "keyPoint" ("." or "·"), "keyMinus", "backspaceButton".
class TouchKeypad : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchKeypad)

 public:
  explicit TouchKeypad(QWidget* parent = nullptr);
  ~TouchKeypad() override = default;

  // Builds the keys; call once, before the pad is shown.
  void SetExtraKeys(const QStringList& extra);

 signals:
  void Typed(const QString& key);
  void Backspace();

 private:
  QPushButton* AddKey(const QString& caption, const char* name);
  void AddCharacterKey(const QString& caption, const char* name, int row, int column);
};

// The entry boxes of one pad, one of them active: keys go to the active box; touching a box
// makes it the active one. A box just made active (or first shown) is replaced by the first
// key typed, as a selected field would be; "退格" removes the last character.
class TouchBoxes : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchBoxes)

 public:
  TouchBoxes(QObject* parent, std::vector<QLineEdit*> boxes, TouchKeypad& keypad);
  ~TouchBoxes() override = default;

  QLineEdit* active() const { return active_; }
  void Activate(QLineEdit* box);

 signals:
  // The text of a box changed through the keys.
  void Changed(QLineEdit* box);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Type(const QString& key);
  void Backspace();

  std::vector<QLineEdit*> boxes_;
  QLineEdit* active_ = nullptr;
  bool fresh_ = true;
};

}  // namespace ui
