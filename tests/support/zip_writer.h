#pragma once

// Builds zip archives in memory, for workbooks made up by a test (or a fuzzing seed) that no
// spreadsheet program would write: parts compressed with deflate, so a few kilobytes of
// archive can hold a part of many megabytes.

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

class ZipWriter {
 public:
  // Adds a part compressed with deflate.
  void Add(const std::string& name, std::string_view content) {
    std::string packed(compressBound(static_cast<uLong>(content.size())) + 16, '\0');
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::runtime_error("deflateInit2");
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    stream.avail_in = static_cast<uInt>(content.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    const auto crc = static_cast<std::uint32_t>(crc32(
        0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
    entries_.push_back({name, static_cast<std::uint32_t>(archive_.size()), crc,
                        static_cast<std::uint32_t>(packed.size()),
                        static_cast<std::uint32_t>(content.size())});
    Header(0x04034b50, entries_.back(), false);
    archive_ += packed;
  }

  // The archive: the parts, then the central directory.
  std::string Finish() {
    std::string out = archive_;
    const auto directory = static_cast<std::uint32_t>(out.size());
    std::swap(out, archive_);
    for (const Entry& entry : entries_) Header(0x02014b50, entry, true);
    std::swap(out, archive_);
    const auto size = static_cast<std::uint32_t>(out.size() - directory);
    Append32(out, 0x06054b50);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, static_cast<std::uint16_t>(entries_.size()));
    Append16(out, static_cast<std::uint16_t>(entries_.size()));
    Append32(out, size);
    Append32(out, directory);
    Append16(out, 0);
    return out;
  }

 private:
  struct Entry {
    std::string name;
    std::uint32_t offset, crc, packed, size;
  };

  static void Append16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8);
  }
  static void Append32(std::string& out, std::uint32_t value) {
    Append16(out, static_cast<std::uint16_t>(value & 0xffff));
    Append16(out, static_cast<std::uint16_t>(value >> 16));
  }

  void Header(std::uint32_t signature, const Entry& entry, bool central) {
    Append32(archive_, signature);
    if (central) Append16(archive_, 20);  // made by
    Append16(archive_, 20);               // needed to extract
    Append16(archive_, 0);                // flags
    Append16(archive_, 8);                // deflate
    Append16(archive_, 0);                // time
    Append16(archive_, 0x21);             // date
    Append32(archive_, entry.crc);
    Append32(archive_, entry.packed);
    Append32(archive_, entry.size);
    Append16(archive_, static_cast<std::uint16_t>(entry.name.size()));
    Append16(archive_, 0);  // extra
    if (central) {
      Append16(archive_, 0);  // comment
      Append16(archive_, 0);  // disk
      Append16(archive_, 0);  // internal attributes
      Append32(archive_, 0);  // external attributes
      Append32(archive_, entry.offset);
    }
    archive_ += entry.name;
  }

  std::string archive_;
  std::vector<Entry> entries_;
};

}  // namespace testing_support
