#pragma once

#include <string>
#include <string_view>

namespace files {

// UTF-8 to GBK for long files: a table of every character of the basic plane, made once
// with iconv, then one look-up per character (iconv itself spends most of a text export on
// the ASCII bytes). Characters GBK lacks, and broken UTF-8, become "?", as common::Utf8ToGbk
// does.
void AppendGbk(std::string_view utf8, std::string& out);

}  // namespace files
