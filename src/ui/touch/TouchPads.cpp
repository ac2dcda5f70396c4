#include "ui/touch/TouchPads.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/touch/TouchMetrics.h"

namespace ui {

namespace {
constexpr double kBoxTypeMm = 7.0;
}  // namespace

void ApplyPadLook(QDialog& pad) {
  for (QPushButton* button : pad.findChildren<QPushButton*>()) MakeFingerButton(*button);
  for (QLabel* label : pad.findChildren<QLabel*>()) SetFontHeight(*label, kBoxTypeMm);
  for (QLineEdit* box : pad.findChildren<QLineEdit*>()) {
    SetFontHeight(*box, kBoxTypeMm);
    box->setMinimumHeight(MillimetresToPixels(*box, kFingerMm));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
}

}  // namespace ui
