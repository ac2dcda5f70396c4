#pragma once

// The byte stream a receipt printer on a serial or parallel port understands (ESC/POS, as
// the common 58 mm Chinese receipt printers speak it, with GBK text).

#include <string>

#include "core/devices/slip.h"

namespace print {

// ESC @ (reset), FS & (double-byte GBK characters), then per line its alignment (ESC a n)
// and emphasis (ESC E n) where they change, the text in GBK and LF; then one LF per feed
// line. Characters GBK lacks print as "?".
std::string EscPosBytes(const Slip& slip);

}  // namespace print
