#include "core/devices/escpos.h"

#include "core/common/text_encoding.h"

namespace print {
namespace {

constexpr char kEsc = 0x1B;
constexpr char kFs = 0x1C;

char AlignCode(Align align) {
  switch (align) {
    case Align::kCenter:
      return 1;
    case Align::kRight:
      return 2;
    case Align::kLeft:
      break;
  }
  return 0;
}

}  // namespace

std::string EscPosBytes(const Slip& slip) {
  std::string bytes = {kEsc, '@', kFs, '&'};
  // After ESC @ the printer is left-aligned without emphasis.
  Align align = Align::kLeft;
  bool emphasis = false;
  for (const SlipLine& line : slip.lines) {
    if (line.align != align) {
      align = line.align;
      bytes += {kEsc, 'a', AlignCode(align)};
    }
    if (line.emphasis != emphasis) {
      emphasis = line.emphasis;
      bytes += {kEsc, 'E', static_cast<char>(emphasis ? 1 : 0)};
    }
    // The slip keeps its texts free of control bytes; the text cannot end this command.
    bytes += common::Utf8ToGbk(PrintableText(line.text));
    bytes += '\n';
  }
  if (emphasis) bytes += {kEsc, 'E', 0};
  bytes.append(static_cast<size_t>(slip.feed_lines > 0 ? slip.feed_lines : 0), '\n');
  return bytes;
}

}  // namespace print
