// The text file reader over any bytes: GBK or UTF-8 (with or without a byte-order mark),
// quoted fields with commas, doubled quotes and line breaks, quotes never closed. Every field
// it gives must be valid UTF-8, whatever the bytes were.

#include <cstdlib>

#include "core/common/error.h"
#include "core/files/text_file.h"
#include "fuzz_support.h"

namespace {

bool IsValidUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80         ? 1
                         : (c >> 5) == 6  ? 2
                         : (c >> 4) == 14 ? 3
                         : (c >> 3) == 30 ? 4
                                          : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzzing::InputFile(data, size, "records.txt");
  try {
    for (const files::TextRecord& record : files::ReadTextRecords(file)) {
      if (record.line < 1) std::abort();
      for (const std::string& field : record.fields) {
        if (!IsValidUtf8(field)) std::abort();
      }
    }
  } catch (const common::UserError&) {
    // A refused file is a fine outcome; only a crash or a sanitizer report is a finding.
  }
  return 0;
}
