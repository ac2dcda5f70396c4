#pragma once

// Sizes for fingers, measured on the screen the widget is shown on: a button of the touch
// screens is at least 15 mm high and wide at that screen's own resolution, and its caption is
// large enough to read at arm's length.

class QAbstractButton;
class QWidget;

namespace ui {

inline constexpr double kFingerMm = 15.0;
inline constexpr double kCaptionMm = 4.5;  // caption type height

// Millimetres in pixels on the widget's screen (its logical dots per inch).
int MillimetresToPixels(const QWidget& widget, double mm);

// A button for a finger: at least kFingerMm square, a large caption, acting on one tap and
// never taking the focus from the box the cashier is typing or scanning into.
void MakeFingerButton(QAbstractButton& button);

// A large font of the given type height for labels and boxes.
void SetFontHeight(QWidget& widget, double mm, bool bold = true);

}  // namespace ui
