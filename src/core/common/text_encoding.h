#pragma once

#include <string>

namespace kasso {

// UTF-8 to GBK, for the files that old tills and scale tools read. Characters GBK lacks
// become "?". 
std::string Utf8ToGbk(const std::string& utf8);

// GBK to UTF-8; bytes that are not GBK become U+FFFD.
std::string GbkToUtf8(const std::string& gbk);

// The longest prefix of GBK text within max_bytes that does not split a double-byte character.
std::string CutGbk(const std::string& gbk, size_t max_bytes);

}  // namespace kasso
