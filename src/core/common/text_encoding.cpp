#include "core/common/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace common {

TextConverter::TextConverter(const char* to, const char* from, std::string replacement)
    : cd_(iconv_open(to, from)),
      from_utf8_(std::strcmp(from, "UTF-8") == 0),
      from_gb18030_(std::strcmp(from, "GB18030") == 0),
      replacement_(std::move(replacement)) {
  if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no text converter");
}

TextConverter::~TextConverter() { iconv_close(cd_); }

void TextConverter::Append(std::string_view input, std::string& output) {
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  size_t in_left = input.size();
  while (in_left > 0) {
    char* out = buffer;
    size_t out_left = sizeof buffer;
    size_t rc = iconv(cd_, &in, &in_left, &out, &out_left);
    output.append(buffer, sizeof buffer - out_left);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // An unconvertible or broken sequence: mark it and skip one byte (or one character).
      // GB18030 has no single byte 0x80; the Windows code page, and GBK here, read it as
      // the euro sign and write the euro sign as it.
      const bool euro = from_gb18030_ && static_cast<unsigned char>(*in) == 0x80;
      output += euro ? "\xE2\x82\xAC" : replacement_;
      size_t skip = 1;
      if (from_utf8_) {
        unsigned char lead = static_cast<unsigned char>(*in);
        skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      }
      skip = std::min(skip, in_left);
      in += skip;
      in_left -= skip;
    }
  }
}

std::string TextConverter::Convert(std::string_view input) {
  std::string output;
  Append(input, output);
  return output;
}

std::string Utf8ToGbk(const std::string& utf8) {
  return TextConverter("GBK", "UTF-8", "?").Convert(utf8);
}

std::string GbkToUtf8(const std::string& gbk) {
  return TextConverter("UTF-8", "GBK", "\xEF\xBF\xBD").Convert(gbk);
}

std::string CutGbk(const std::string& gbk, size_t max_bytes) {
  // A lead byte of 0x81 or more starts a double-byte character; stop before one that would
  // not fit whole.
  size_t end = 0;
  while (end < gbk.size()) {
    size_t width = static_cast<unsigned char>(gbk[end]) >= 0x81 ? 2 : 1;
    if (end + width > max_bytes) break;
    end += width;
  }
  return gbk.substr(0, std::min(end, gbk.size()));
}

}  // namespace common
