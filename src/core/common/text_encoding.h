#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace common {

// One iconv conversion kept open for many texts (a file's lines), so that a long export or
// import does not open a converter per line. Unconvertible input becomes the replacement.
class TextConverter {
 public:
  TextConverter(const char* to, const char* from, std::string replacement);
  ~TextConverter();
  TextConverter(const TextConverter&) = delete;
  TextConverter& operator=(const TextConverter&) = delete;

  // Appends the converted input to output.
  void Append(std::string_view input, std::string& output);
  std::string Convert(std::string_view input);

 private:
  iconv_t cd_;
  bool from_utf8_;
  bool from_gb18030_;
  std::string replacement_;
};

// UTF-8 to GBK, for the files that old tills and scale tools read. Characters GBK lacks
// become "?".
std::string Utf8ToGbk(const std::string& utf8);

// GBK to UTF-8; bytes that are not GBK become U+FFFD.
std::string GbkToUtf8(const std::string& gbk);

// The longest prefix of GBK text within max_bytes that does not split a double-byte character.
std::string CutGbk(const std::string& gbk, size_t max_bytes);

}  // namespace common
