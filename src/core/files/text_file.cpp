#include "core/files/text_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/common/error.h"
#include "core/common/text_encoding.h"
#include "core/files/gbk_encoder.h"
#include "core/files/import_check.h"

namespace files {
namespace {

constexpr std::size_t kFlushBytes = 1 << 20;
constexpr std::size_t kRecordsPerReport = 4096;

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The length of the UTF-8 character at text[i] (lead byte and continuation bytes); 0 when
// the bytes there are not one.
std::size_t Utf8CharLength(std::string_view text, std::size_t i) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  std::size_t extra = 0;
  if (lead < 0x80) {
    extra = 0;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
  } else {
    return 0;
  }
  if (extra > text.size() - i - 1) return 0;
  for (std::size_t k = 1; k <= extra; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  }
  return extra + 1;
}

// Structurally valid UTF-8 from start to end: every lead byte followed by its continuation
// bytes. GBK Chinese text fails this at its first character.
bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8CharLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

// The text with every byte that does not belong to a UTF-8 character replaced by U+FFFD.
std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8CharLength(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    out.append(text, i, length);
    i += length;
  }
  return out;
}

std::string ReadWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) throw common::UserError("打开文件错误");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw common::UserError("打开文件错误");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw common::UserError("打开文件错误");
  return bytes;
}

// Whether the bytes pair into GB2312 characters throughout (ASCII aside): the common Chinese
// characters and signs of GBK text.
bool ReadsAsGb2312(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) continue;
    if (lead < 0xA1 || lead > 0xF7 || i + 1 == bytes.size()) return false;
    const auto trail = static_cast<unsigned char>(bytes[++i]);
    if (trail < 0xA1 || trail > 0xFE) return false;
  }
  return true;
}

// UTF-8 text holding a Latin-1 sign or control code (U+0080-U+00FF, written C2 xx or C3 xx).
bool HasLatin1(std::string_view utf8) {
  return utf8.find_first_of("\xC2\xC3") != std::string_view::npos;
}

// The file's text as UTF-8, decided once for the whole file: UTF-8 with a byte-order mark, or
// when it is valid UTF-8 that reads as plausible text. Short GBK text can be valid UTF-8 by
// chance (卢梅 reads "¬÷"): Latin-1 signs where the same bytes are Chinese characters
// throughout make the file GBK.
std::string DecodeText(std::string bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (std::string_view(bytes).starts_with(kBom)) {
    // The mark says UTF-8; bytes that are not (a file cut or edited as another code page)
    // read as U+FFFD, so that nothing but UTF-8 reaches the records.
    const std::string_view text = std::string_view(bytes).substr(kBom.size());
    return IsUtf8(text) ? std::string(text) : ValidUtf8(text);
  }
  if (IsUtf8(bytes) && !(HasLatin1(bytes) && ReadsAsGb2312(bytes))) return bytes;
  // GB18030 reads every GBK file and the few characters newer Windows editors add.
  return common::TextConverter("UTF-8", "GB18030", "\xEF\xBF\xBD").Convert(bytes);
}

bool NeedsQuotes(std::string_view field) {
  for (char c : field) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

void AppendField(std::string& out, std::string_view field) {
  if (!NeedsQuotes(field)) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

bool IsBlank(const std::vector<std::string>& fields) {
  return fields.size() == 1 && std::all_of(fields[0].begin(), fields[0].end(),
                                           [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

std::string TextField(std::string_view field) {
  std::string text;
  AppendField(text, field);
  return text;
}

std::string TextLine(const std::vector<std::string>& fields, bool comma_after_each) {
  std::size_t size = fields.size();
  for (const std::string& field : fields) size += field.size();
  std::string line;
  line.reserve(size + 8);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0 && !comma_after_each) line += ',';
    AppendField(line, fields[i]);
    if (comma_after_each) line += ',';
  }
  return line;
}

TextFileWriter::TextFileWriter(std::filesystem::path target) : file_(std::move(target)) {
  buffer_.reserve(kFlushBytes + 4096);
}

TextFileWriter::~TextFileWriter() = default;

void TextFileWriter::Line(const std::string& utf8_line) {
  ascii_ = ascii_ && IsAscii(utf8_line);
  buffer_ += utf8_line;
  buffer_ += "\r\n";
  if (buffer_.size() >= kFlushBytes) Flush();
}

void TextFileWriter::Flush() {
  if (ascii_) {
    WriteAll(file_.fd(), buffer_.data(), buffer_.size());  // the same bytes in GBK
  } else {
    gbk_.clear();
    AppendGbk(buffer_, gbk_);
    WriteAll(file_.fd(), gbk_.data(), gbk_.size());
  }
  buffer_.clear();
  ascii_ = true;
}

void TextFileWriter::Commit() {
  Flush();
  file_.Commit();
}

std::vector<TextRecord> ReadTextRecords(const std::filesystem::path& file,
                                        const Progress& progress) {
  const std::string text = DecodeText(ReadWholeFile(file));
  const std::string_view all = text;
  std::vector<TextRecord> records;
  std::size_t pos = 0;
  int line = 1;
  std::size_t read = 0;
  while (pos < all.size()) {
    TextRecord record;
    record.line = line;
    bool quoted_any = false;
    bool record_done = false;
    while (!record_done) {
      std::string field;
      if (pos < all.size() && all[pos] == '"') {
        quoted_any = true;
        ++pos;
        while (true) {
          std::size_t close = all.find('"', pos);
          if (close == std::string_view::npos) RefuseLine(record.line, "引号不成对");
          std::string_view piece = all.substr(pos, close - pos);
          line += static_cast<int>(std::count(piece.begin(), piece.end(), '\n'));
          field += piece;
          pos = close + 1;
          if (pos < all.size() && all[pos] == '"') {
            field += '"';
            ++pos;
            continue;
          }
          break;
        }
      }
      // Plain text up to the next comma or line end (after a closing quote: whatever stray
      // text precedes the comma is kept, not lost).
      std::size_t end = pos;
      while (end < all.size() && all[end] != ',' && all[end] != '\n') ++end;
      field += all.substr(pos, end - pos);
      pos = end;
      if (pos < all.size() && all[pos] == ',') {
        ++pos;
      } else {
        if (!field.empty() && field.back() == '\r') field.pop_back();
        if (pos < all.size()) ++pos;  // the line feed
        ++line;
        record_done = true;
      }
      record.fields.push_back(std::move(field));
    }
    if (quoted_any || !IsBlank(record.fields)) records.push_back(std::move(record));
    if (++read % kRecordsPerReport == 0) ReportProgress(progress, pos, all.size());
  }
  ReportProgress(progress, all.size(), all.size());
  return records;
}

}  // namespace files
