#include "core/labels/code128.h"

#include <array>
#include <stdexcept>

#include "core/common/error.h"

namespace labels {
namespace {

// The published symbol table, values 0 to 106; value 106 is STOP with its termination bar.
constexpr std::array<std::string_view, 107> kPatterns = {
    "11011001100", "11001101100", "11001100110", "10010011000", "10010001100",  "10001001100",
    "10011001000", "10011000100", "10001100100", "11001001000", "11001000100",  "11000100100",
    "10110011100", "10011011100", "10011001110", "10111001100", "10011101100",  "10011100110",
    "11001110010", "11001011100", "11001001110", "11011100100", "11001110100",  "11101101110",
    "11101001100", "11100101100", "11100100110", "11101100100", "11100110100",  "11100110010",
    "11011011000", "11011000110", "11000110110", "10100011000", "10001011000",  "10001000110",
    "10110001000", "10001101000", "10001100010", "11010001000", "11000101000",  "11000100010",
    "10110111000", "10110001110", "10001101110", "10111011000", "10111000110",  "10001110110",
    "11101110110", "11010001110", "11000101110", "11011101000", "11011100010",  "11011101110",
    "11101011000", "11101000110", "11100010110", "11101101000", "11101100010",  "11100011010",
    "11101111010", "11001000010", "11110001010", "10100110000", "10100001100",  "10010110000",
    "10010000110", "10000101100", "10000100110", "10110010000", "10110000100",  "10011010000",
    "10011000010", "10000110100", "10000110010", "11000010010", "11001010000",  "11110111010",
    "11000010100", "10001111010", "10100111100", "10010111100", "10010011110",  "10111100100",
    "10011110100", "10011110010", "11110100100", "11110010100", "11110010010",  "11011011110",
    "11011110110", "11110110110", "10101111000", "10100011110", "10001011110",  "10111101000",
    "10111100010", "11110101000", "11110100010", "10111011110", "10111101110",  "11101011110",
    "11110101110", "11010000100", "11010010000", "11010011100", "1100011101011"};

constexpr int kCodeB = 100;
constexpr int kStartC = 105;
constexpr int kStop = 106;
constexpr int kCheckModulus = 103;
constexpr int kDigitZeroInSetB = 16;  // "0" in code set B: ASCII 48 - 32

}  // namespace

std::string_view Code128Pattern(int value) {
  if (value < 0 || value >= static_cast<int>(kPatterns.size())) {
    throw std::out_of_range("no Code 128 symbol " + std::to_string(value));
  }
  return kPatterns[static_cast<size_t>(value)];
}

bool IsDigitText(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string EncodeCode128(std::string_view digits) {
  if (!IsDigitText(digits)) {
    throw common::UserError("条码 " + std::string(digits) + " 含有数字以外的字符,不能打印成条形码");
  }
  std::string modules(Code128Pattern(kStartC));
  long sum = kStartC;
  const size_t pairs = digits.size() / 2;
  for (size_t i = 1; i <= pairs; ++i) {
    const int value = (digits[2 * i - 2] - '0') * 10 + (digits[2 * i - 1] - '0');
    modules += Code128Pattern(value);
    sum += static_cast<long>(value) * static_cast<long>(i);
  }
  if (digits.size() % 2 == 1) {
    modules += Code128Pattern(kCodeB);
    sum += static_cast<long>(kCodeB) * static_cast<long>(pairs + 1);
    const int value = kDigitZeroInSetB + (digits.back() - '0');
    modules += Code128Pattern(value);
    sum += static_cast<long>(value) * static_cast<long>(pairs + 2);
  }
  modules += Code128Pattern(static_cast<int>(sum % kCheckModulus));
  modules += Code128Pattern(kStop);
  return modules;
}

}  // namespace labels
