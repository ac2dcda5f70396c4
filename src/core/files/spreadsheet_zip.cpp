#include "core/files/spreadsheet_zip.h"

#include <zlib.h>

#include <algorithm>

#include "core/common/error.h"

namespace files {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::uint32_t kHeaderSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEntrySize = 46;
constexpr std::size_t kHeaderSize = 30;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kEncrypted = 1;
constexpr std::size_t kChunk = 1 << 16;

[[noreturn]] void Unreadable() { throw common::UserError("打开文件错误"); }

// Little-endian numbers at an offset, refusing to read past the end.
std::uint32_t Number(std::string_view bytes, std::uint64_t at, int size) {
  if (at > bytes.size() || bytes.size() - at < static_cast<std::uint64_t>(size)) Unreadable();
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::uint64_t>(i)]);
  }
  return value;
}

// Frees zlib's state however inflating ends.
class Inflater {
 public:
  Inflater() {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) Unreadable();
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

ZipArchive::ZipArchive(std::string_view bytes) : bytes_(bytes) {
  if (bytes.size() < kEndSize) Unreadable();
  // The end record sits in the last 64 KB, before a comment of at most that size.
  std::size_t end = bytes.size() - kEndSize;
  const std::size_t stop = end > 0xFFFF ? end - 0xFFFF : 0;
  while (Number(bytes, end, 4) != kEndSignature) {
    if (end == stop) Unreadable();
    --end;
  }
  const std::uint32_t count = Number(bytes, end + 10, 2);
  const std::uint32_t directory_size = Number(bytes, end + 12, 4);
  std::uint64_t at = Number(bytes, end + 16, 4);
  if (at + directory_size > end) Unreadable();
  entries_.reserve(std::min<std::size_t>(count, directory_size / kEntrySize));
  for (std::uint32_t i = 0; i < count; ++i) {
    if (Number(bytes, at, 4) != kEntrySignature) Unreadable();
    Entry entry;
    entry.flags = static_cast<std::uint16_t>(Number(bytes, at + 8, 2));
    entry.method = static_cast<std::uint16_t>(Number(bytes, at + 10, 2));
    entry.packed = Number(bytes, at + 20, 4);
    const std::uint32_t name_size = Number(bytes, at + 28, 2);
    const std::uint32_t extra_size = Number(bytes, at + 30, 2);
    const std::uint32_t comment_size = Number(bytes, at + 32, 2);
    entry.header = Number(bytes, at + 42, 4);
    if (at + kEntrySize + name_size > bytes.size()) Unreadable();
    entry.name = bytes.substr(at + kEntrySize, name_size);
    entries_.push_back(std::move(entry));
    at += kEntrySize + name_size + extra_size + comment_size;
  }
}

const ZipArchive::Entry* ZipArchive::Find(std::string_view name) const {
  for (const Entry& entry : entries_) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

bool ZipArchive::Has(std::string_view name) const { return Find(name) != nullptr; }

void ZipArchive::Read(std::string_view name, const std::function<void(std::string_view)>& take,
                      const Progress& progress) const {
  const Entry* entry = Find(name);
  if (!entry || (entry->flags & kEncrypted) != 0) Unreadable();
  if (Number(bytes_, entry->header, 4) != kHeaderSignature) Unreadable();
  const std::uint64_t data = entry->header + kHeaderSize + Number(bytes_, entry->header + 26, 2) +
                             Number(bytes_, entry->header + 28, 2);
  if (data > bytes_.size() || bytes_.size() - data < entry->packed) Unreadable();
  const std::string_view packed = bytes_.substr(data, entry->packed);
  if (entry->method == kStored) {
    for (std::size_t done = 0; done < packed.size(); done += kChunk) {
      ReportProgress(progress, done, packed.size());
      take(packed.substr(done, kChunk));
    }
    return;
  }
  if (entry->method != kDeflated) Unreadable();
  Inflater inflater;
  z_stream& stream = inflater.stream();
  std::string out(kChunk, '\0');
  std::size_t done = 0;
  int result = Z_OK;
  while (result != Z_STREAM_END) {
    // zlib takes at most 4 GB at a time; the archive's entries are smaller than that.
    if (stream.avail_in == 0 && done < packed.size()) {
      const std::size_t piece = std::min<std::size_t>(packed.size() - done, kChunk);
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data() + done));
      stream.avail_in = static_cast<uInt>(piece);
      done += piece;
      ReportProgress(progress, done, packed.size());
    }
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    result = inflate(&stream, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) Unreadable();
    const std::size_t made = out.size() - stream.avail_out;
    if (made == 0 && stream.avail_in == 0 && done == packed.size() && result != Z_STREAM_END) {
      Unreadable();  // the data ends before the stream does
    }
    if (made > 0) take(std::string_view(out.data(), made));
  }
}

}  // namespace files
