#pragma once

#include <string>
#include <string_view>

namespace labels {

// The bar and space pattern of one Code 128 symbol value (0..106) as 11 module flags, "1" dark
// and "0" light; the stop symbol (106) has 13, its final bar included. Throws
// std::out_of_range for another value.
std::string_view Code128Pattern(int value);

// The module string of a goods barcode: START C, the digits in pairs, CODE B and the last digit
// when their count is odd, the check symbol and STOP. No quiet zone. Goods barcodes are digit
// strings; any other character is refused with a common::UserError naming the barcode, rather
// than drawn as a symbol that would scan as something else.
std::string EncodeCode128(std::string_view digits);

// True when every character is a decimal digit (the empty text included).
bool IsDigitText(std::string_view text);

}  // namespace labels
