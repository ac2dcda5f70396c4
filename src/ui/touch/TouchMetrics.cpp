#include "ui/touch/TouchMetrics.h"

#include <QAbstractButton>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace ui {

int MillimetresToPixels(const QWidget& widget, double mm) {
  const QScreen* screen = widget.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
  return static_cast<int>(std::ceil(mm / 25.4 * dpi));
}

void SetFontHeight(QWidget& widget, double mm, bool bold) {
  QFont font = widget.font();
  font.setPixelSize(MillimetresToPixels(widget, mm));
  font.setBold(bold);
  widget.setFont(font);
}

void MakeFingerButton(QAbstractButton& button) {
  const int side = MillimetresToPixels(button, kFingerMm);
  button.setMinimumSize(side, side);
  button.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  button.setFocusPolicy(Qt::NoFocus);
  button.setAutoRepeat(false);
  SetFontHeight(button, kCaptionMm);
}

}  // namespace ui
