// The Code 128 encoder over any text: digit strings give a symbol that decodes back to the
// same digits; anything else is refused with a UserError.

#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/labels/code128.h"
#include "fuzz_support.h"

namespace {

// Reads the symbol values back from the modules: 11 modules each, the stop symbol 13.
std::string DecodeDigits(const std::string& modules) {
  std::vector<int> values;
  std::size_t at = 0;
  while (at + 11 <= modules.size()) {
    const std::string_view piece(modules.data() + at, 11);
    int found = -1;
    for (int value = 0; value < 106 && found < 0; ++value) {
      if (labels::Code128Pattern(value) == piece) found = value;
    }
    if (found < 0) break;
    values.push_back(found);
    at += 11;
  }
  if (values.size() < 2 || values.front() != 105) __builtin_trap();  // START C
  if (modules.substr(at) != labels::Code128Pattern(106)) __builtin_trap();
  long checksum = values[0];
  for (std::size_t i = 1; i + 1 < values.size(); ++i) {
    checksum += values[i] * static_cast<long>(i);
  }
  if (checksum % 103 != values.back()) __builtin_trap();
  std::string digits;
  bool code_b = false;
  for (std::size_t i = 1; i + 1 < values.size(); ++i) {
    if (values[i] == 100) {
      code_b = true;
    } else if (code_b) {
      digits += static_cast<char>(values[i] + 32);
    } else {
      if (values[i] > 99) __builtin_trap();
      digits += static_cast<char>('0' + values[i] / 10);
      digits += static_cast<char>('0' + values[i] % 10);
    }
  }
  return digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(fuzzing::AsText(data, size));
  std::string modules;
  try {
    modules = labels::EncodeCode128(text);
  } catch (const common::UserError&) {
    if (labels::IsDigitText(text) && !text.empty()) __builtin_trap();  // digits are never refused
    return 0;
  }
  if (!labels::IsDigitText(text)) __builtin_trap();  // anything else must be refused
  if (DecodeDigits(modules) != text) __builtin_trap();
  return 0;
}
