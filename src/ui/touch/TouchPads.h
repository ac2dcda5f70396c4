#pragma once

// What the touch pads share: their look.

class QDialog;

namespace ui {

// Large type on the pad's labels and boxes and finger-sized command buttons ("确认", "取消",
// and the rest that are not keys).
void ApplyPadLook(QDialog& pad);

}  // namespace ui
