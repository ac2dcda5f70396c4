#include "ui/touch/TouchKeypad.h"

#include <QEvent>
#include <QGridLayout>
#include <QPalette>
#include <algorithm>

#include "core/sale/touch_entry.h"
#include "ui/touch/TouchMetrics.h"

namespace ui {

TouchKeypad::TouchKeypad(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  // 7 8 9 / 4 5 6 / 1 2 3 / 0, the extra keys, then 退格 on a row of its own.
  for (int digit = 1; digit <= 9; ++digit) {
    const QString name = QStringLiteral("key%1").arg(digit);
    AddCharacterKey(QString::number(digit), name.toUtf8().constData(), 2 - (digit - 1) / 3,
                    (digit - 1) % 3);
  }
  AddCharacterKey(QStringLiteral("0"), "key0", 3, 0);
}

void TouchKeypad::SetExtraKeys(const QStringList& extra) {
  int column = 1;
  for (const QString& key : extra) {
    AddCharacterKey(key, key == QStringLiteral("-") ? "keyMinus" : "keyPoint", 3, column++);
  }
  QPushButton* backspace = AddKey(QStringLiteral("退格"), "backspaceButton");
  static_cast<QGridLayout*>(layout())->addWidget(backspace, 4, 0, 1, 3);
  connect(backspace, &QPushButton::clicked, this, &TouchKeypad::Backspace);
}

QPushButton* TouchKeypad::AddKey(const QString& caption, const char* name) {
  auto* key = new QPushButton(caption, this);
  key->setObjectName(QString::fromUtf8(name));
  MakeFingerButton(*key);
  return key;
}

void TouchKeypad::AddCharacterKey(const QString& caption, const char* name, int row, int column) {
  QPushButton* key = AddKey(caption, name);
  static_cast<QGridLayout*>(layout())->addWidget(key, row, column);
  connect(key, &QPushButton::clicked, this, [this, caption] { emit Typed(caption); });
}

TouchBoxes::TouchBoxes(QObject* parent, std::vector<QLineEdit*> boxes, TouchKeypad& keypad)
    : QObject(parent), boxes_(std::move(boxes)) {
  for (QLineEdit* box : boxes_) {
    // The pad is the only keyboard: a box shows its text and takes taps, nothing else.
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->installEventFilter(this);
  }
  connect(&keypad, &TouchKeypad::Typed, this, &TouchBoxes::Type);
  connect(&keypad, &TouchKeypad::Backspace, this, &TouchBoxes::Backspace);
  if (!boxes_.empty()) Activate(boxes_.front());
}

void TouchBoxes::Activate(QLineEdit* box) {
  for (QLineEdit* each : boxes_) {
    QPalette palette = each->palette();
    palette.setColor(QPalette::Base, each == box ? QColor(255, 244, 200) : QColor(Qt::white));
    each->setPalette(palette);
  }
  active_ = box;
  fresh_ = true;
}

bool TouchBoxes::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::TouchBegin) {
    auto found = std::find(boxes_.begin(), boxes_.end(), watched);
    if (found != boxes_.end()) Activate(*found);
  }
  return QObject::eventFilter(watched, event);
}

void TouchBoxes::Type(const QString& key) {
  if (active_ == nullptr) return;
  active_->setText(fresh_ ? key : active_->text() + key);
  fresh_ = false;
  emit Changed(active_);
}

void TouchBoxes::Backspace() {
  if (active_ == nullptr) return;
  fresh_ = false;
  active_->setText(
      QString::fromStdString(sale::RemoveLastCharacter(active_->text().toStdString())));
  emit Changed(active_);
}

}  // namespace ui
