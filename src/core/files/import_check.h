#pragma once

// Checks for all-or-nothing imports: every line of a file is checked before anything is
// written, and the first bad one refuses the whole file with its line number and field.

#include <cstddef>
#include <optional>
#include <string>

#include "core/files/text_file.h"

namespace files {

// Throws common::UserError("第 12 行: 售价有误") for line 12 and message "售价有误".
[[noreturn]] void RefuseLine(int line, const std::string& message);

// The number in text (blanks around it ignored). It must be a plain decimal number as a
// cashier types it (common::IsPlainDecimal); otherwise, empty text included, the line
// is refused with message.
double ImportNumber(const std::string& text, int line, const std::string& message);

// As ImportNumber, but empty (or blank) text gives fallback.
double ImportNumberOr(const std::string& text, double fallback, int line,
                      const std::string& message);

// Refuses the record's line with "<what>字段不足" when it has fewer than count fields.
void RequireFields(const TextRecord& record, std::size_t count, const std::string& what);

// The value of a plain decimal number (common::IsPlainDecimal, no blanks), read the same
// in every locale; nothing for any other text.
std::optional<double> PlainNumber(const std::string& text);

// The text without the blanks (spaces, tabs, CR, LF) around it.
std::string Trimmed(const std::string& text);

}  // namespace files
