#include "core/files/gbk_encoder.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

namespace files {
namespace {

constexpr char32_t kPlane = 0x10000;
constexpr std::uint16_t kMissing = 0;

// GBK bytes of each code point (lead byte high, trail byte low; ASCII as itself), kMissing
// where GBK has none.
using GbkTable = std::array<std::uint16_t, kPlane>;

std::unique_ptr<GbkTable> BuildTable() {
  auto table = std::make_unique<GbkTable>();
  table->fill(kMissing);
  // One character per call: glibc's converter re-reads a whole batch after every character
  // it cannot convert, which makes one call over the whole plane take seconds.
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return table;
  for (char32_t code = 0x80; code < kPlane; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;  // no surrogates in UTF-8
    char utf8[3];
    std::size_t in_left = 0;
    if (code < 0x800) {
      utf8[in_left++] = static_cast<char>(0xC0 | (code >> 6));
    } else {
      utf8[in_left++] = static_cast<char>(0xE0 | (code >> 12));
      utf8[in_left++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    utf8[in_left++] = static_cast<char>(0x80 | (code & 0x3F));
    char gbk[4];
    char* in = utf8;
    char* out = gbk;
    std::size_t out_left = sizeof gbk;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1)) continue;
    const std::size_t size = sizeof gbk - out_left;
    const auto first = static_cast<unsigned char>(gbk[0]);
    if (size == 2) {
      (*table)[code] = static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(gbk[1]));
    } else if (size == 1) {
      (*table)[code] = first;
    }
  }
  iconv_close(cd);
  return table;
}

const GbkTable& Table() {
  static const std::unique_ptr<GbkTable> table = BuildTable();
  return *table;
}

}  // namespace

void AppendGbk(std::string_view utf8, std::string& out) {
  const GbkTable& table = Table();
  out.reserve(out.size() + utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      // ASCII is the same in GBK: copy the whole run at once.
      std::size_t end = i + 1;
      while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
      out.append(utf8.data() + i, end - i);
      i = end;
      continue;
    }
    std::size_t width = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t code = kPlane;  // not in the table: "?"
    if (width > 1 && width < 4 && i + width <= utf8.size()) {
      code = lead & (width == 2 ? 0x1F : 0x0F);
      for (std::size_t k = 1; k < width; ++k) {
        const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xC0) != 0x80) {
          code = kPlane;
          break;
        }
        code = code << 6 | (next & 0x3F);
      }
    }
    const std::uint16_t bytes = code < kPlane ? table[code] : kMissing;
    if (bytes == kMissing) {
      out += '?';
    } else if (bytes > 0xFF) {
      out += static_cast<char>(bytes >> 8);
      out += static_cast<char>(bytes & 0xFF);
    } else {
      out += static_cast<char>(bytes);
    }
    i += std::min(width, utf8.size() - i);
  }
}

}  // namespace files
