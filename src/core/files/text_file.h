#pragma once

// Comma-separated text files as the till writes and reads them: GBK, lines ended by CR LF,
// fields quoted only where a comma, a quote or a line break would otherwise break the line.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/progress.h"
#include "core/files/staged_file.h"

namespace files {

// The field as written: unchanged, unless it holds a comma, a double quote, CR or LF; then it
// is put in double quotes with its inner quotes doubled.
std::string TextField(std::string_view field);

// The fields through TextField, joined by ","; with comma_after_each every field, the last
// one too, is followed by ",". No line end.
std::string TextLine(const std::vector<std::string>& fields, bool comma_after_each);

// Writes a GBK text file line by line into a temporary file beside the target, which takes
// the target's name only at Commit. Leaving scope without Commit removes the temporary file
// and leaves whatever was under the target's name untouched.
class TextFileWriter {
 public:
  // Throws common::UserError when the file cannot be created.
  explicit TextFileWriter(std::filesystem::path target);
  ~TextFileWriter();
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  // One line of UTF-8 text, written in GBK and ended by CR LF.
  void Line(const std::string& utf8_line);
  // Writes what is left and puts the file under the target's name. Throws common::UserError.
  void Commit();

 private:
  void Flush();

  StagedFile file_;
  std::string buffer_;  // UTF-8 lines not yet written
  bool ascii_ = true;   // buffer_ holds ASCII only
  std::string gbk_;
};

// One record of a text file: its fields (UTF-8) and the physical line it starts on (1-based).
struct TextRecord {
  int line = 0;
  std::vector<std::string> fields;
};

// Reads a whole comma-separated text file. A byte-order mark, or text that is valid UTF-8
// throughout and not GBK Chinese that happens to be valid UTF-8, is read as UTF-8; anything
// else as GBK (GB18030, with the byte 0x80 as "€"). Lines end in CR LF or LF; a field in
// double quotes may hold commas, doubled quotes and line breaks. Blank lines are skipped. A
// line "a,b," gives three fields, the last one empty. Progress counts bytes.
// Throws common::UserError("打开文件错误") when the file cannot be read, a "第 N 行: ..."
// UserError for a quote that is never closed, and Cancelled.
std::vector<TextRecord> ReadTextRecords(const std::filesystem::path& file,
                                        const Progress& progress = {});

}  // namespace files
