#include "core/files/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "core/common/text_encoding.h"
#include "core/files/gbk_encoder.h"
#include "core/files/import_check.h"
#include "core/files/list_export.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::ErrorOf;
using testing_support::FileBytes;

// GBK bytes of the words the files below hold.
constexpr const char* kGbkBarcode = "\xCC\xF5\xC2\xEB";  // 条码
constexpr const char* kGbkName = "\xC3\xFB\xB3\xC6";     // 名称
constexpr const char* kGbkCola = "\xBF\xC9\xC0\xD6";     // 可乐

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing_support::MakeTempDir(); }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return dir_ / name;
  }
  // Every file in the folder: proves that no temporary file was left behind.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

// Quoting only what would break the line is proven byte for byte by the exports below.
TEST_F(TextFileTest, FieldsSurviveTheRoundTripAndGbkAndUtf8FilesReadAlike) {
  const std::vector<std::vector<std::string>> lines = {
      {"6901", "可乐,大瓶", "3.50"},
      {"6902", "12\"寸 \"\"披萨\"\"", ""},
      {"6903", "两行\r\n文字", "x"},
      {"6904", "末行", "\"", ","},
  };
  {
    files::TextFileWriter writer(dir_ / "round.txt");
    for (const auto& fields : lines) writer.Line(files::TextLine(fields, false));
    writer.Commit();
  }
  std::vector<files::TextRecord> records = files::ReadTextRecords(dir_ / "round.txt");
  ASSERT_EQ(records.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(records[i].fields, lines[i]) << i;
  // The record after the embedded line break starts one physical line later.
  EXPECT_EQ(std::make_pair(records[2].line, records[3].line), std::make_pair(3, 5));
  EXPECT_EQ(Files(), std::vector<std::string>{"round.txt"});
  const std::string gbk = std::string(kGbkCola) + ",3.5\r\n\r\n6901,\"" + kGbkCola + ",x\"\n  \n";
  const std::string utf8 = "可乐,3.5\r\n\r\n6901,\"可乐,x\"\n  \n";
  std::vector<files::TextRecord> from_gbk = files::ReadTextRecords(Write("gbk.txt", gbk));
  ASSERT_EQ(from_gbk.size(), 2u);
  EXPECT_EQ(from_gbk[0].fields, (std::vector<std::string>{"可乐", "3.5"}));
  EXPECT_EQ(from_gbk[1].fields, (std::vector<std::string>{"6901", "可乐,x"}));
  EXPECT_EQ(from_gbk[1].line, 3);  // the blank line is skipped, not forgotten
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
    std::vector<files::TextRecord> read = files::ReadTextRecords(Write("u.txt", bytes));
    ASSERT_EQ(read.size(), 2u);
    for (std::size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(read[i].fields, from_gbk[i].fields);
      EXPECT_EQ(read[i].line, from_gbk[i].line);
    }
  }
}

TEST_F(TextFileTest, TheWholeFileDecidesItsEncodingBrokenUtf8ReadsAsReplacementAndTheEuroSurvives) {
  // The GBK bytes of 卢梅 are valid UTF-8 too ("¬÷"): Latin-1 signs where the same bytes read
  // as Chinese in GBK make the file GBK.
  const std::string gbk_name = "\xC2\xAC\xC3\xB7";
  EXPECT_EQ(files::ReadTextRecords(Write("gbk.txt", "M1," + gbk_name + ",3\r\n"))[0].fields,
            (std::vector<std::string>{"M1", "卢梅", "3"}));
  // UTF-8 stays UTF-8: Chinese text, signs and accented letters beside it, a byte-order mark.
  for (const std::string text : {"M1,卢梅,3", "6901,Nestlé 雀巢咖啡,3", "500ml×12",
                                 "\xEF\xBB\xBF"
                                 "a,¬÷"}) {
    const std::string utf8 = text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
    EXPECT_EQ(
        files::TextLine(files::ReadTextRecords(Write("u.txt", text + "\r\n"))[0].fields, false),
        utf8);
  }
  // A byte-order mark before bytes that are not UTF-8 (a file cut mid-character, or GBK text
  // behind the mark): each stray byte reads as U+FFFD, and the rest as it was.
  EXPECT_EQ(files::ReadTextRecords(Write("bom.txt",
                                         "\xEF\xBB\xBF"
                                         "a,\xE5\x8D,\xC2\xAC\xFF\xE6\x98\xAF\r\n"))[0]
                .fields,
            (std::vector<std::string>{"a", "\xEF\xBF\xBD\xEF\xBF\xBD", "¬\xEF\xBF\xBD是"}));
  // "€" is written as the Windows code page writes it (0x80) and reads back as "€".
  files::TextFileWriter writer(dir_ / "euro.txt");
  writer.Line("欧元,€5");
  writer.Commit();
  EXPECT_EQ(FileBytes(dir_ / "euro.txt"),
            "\xC5\xB7\xD4\xAA,\x80"
            "5\r\n");
  EXPECT_EQ(files::ReadTextRecords(dir_ / "euro.txt")[0].fields,
            (std::vector<std::string>{"欧元", "€5"}));
}

TEST_F(TextFileTest, ListExportIsGbkLikeIconvAndReadingReportsItsBytesAndRefusesOpenQuotes) {
  files::Table table{{"条码", "名称"}, {{"6901", "可乐"}, {"6902", "a,b"}}};
  files::ExportListAsText(table, dir_ / "list.txt");
  EXPECT_EQ(FileBytes(dir_ / "list.txt"), std::string(kGbkBarcode) + "," + kGbkName + ",\r\n" +
                                              "6901," + kGbkCola + ",\r\n6902,\"a,b\",\r\n");
  table.rows.clear();
  files::ExportListAsText(table, dir_ / "list.txt");  // replaces the file
  EXPECT_EQ(FileBytes(dir_ / "list.txt"), std::string(kGbkBarcode) + "," + kGbkName + ",\r\n");
  std::string lines;
  for (int i = 0; i < 10000; ++i) lines += "6901,可乐\r\n";
  const fs::path file = Write("long.txt", lines);
  std::pair<std::size_t, std::size_t> last;
  std::size_t calls = 0;
  auto watch = [&](std::size_t done, std::size_t total) {
    last = {done, total};
    return ++calls < 100;
  };
  EXPECT_EQ(files::ReadTextRecords(file, watch).size(), 10000u);
  EXPECT_GT(calls, 1u);
  EXPECT_EQ(last, std::make_pair(lines.size(), lines.size()));
  calls = 99;  // the next report says stop
  EXPECT_THROW(files::ReadTextRecords(file, watch), files::Cancelled);
  EXPECT_EQ(ErrorOf([&] { files::ReadTextRecords(dir_ / "absent.txt"); }), "打开文件错误");
  const fs::path open = Write("open.txt", "a,b\r\nc,\"never closed\r\nd\r\n");
  EXPECT_EQ(ErrorOf([&] { files::ReadTextRecords(open); }), "第 2 行: 引号不成对");
  // The export's own GBK table gives iconv's bytes for every character, and the same "?" for
  // what GBK lacks and for broken UTF-8.
  std::vector<std::string> texts = {"ab\xE5\x8F", "\xFFx", "\xF0\x9F\x98\x80!", "\xC3(z"};
  for (char32_t first = 0x80; first < 0x10000; first += 256) {
    std::string text;
    for (char32_t code = first; code < first + 256; ++code) {
      if (code >= 0xD800 && code <= 0xDFFF) continue;
      if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
      } else {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      }
      text += static_cast<char>(0x80 | (code & 0x3F));
      text += 'a';
    }
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    std::string fast;
    files::AppendGbk(text, fast);
    ASSERT_EQ(fast, common::Utf8ToGbk(text)) << static_cast<unsigned>(text[0]);
  }
  // The line numbers and field names of refusals are proven with the goods import.
  for (auto [text, value] : {std::pair{" 12.5 ", 12.5}, {"-.5", -0.5}, {"+3", 3.0}}) {
    EXPECT_DOUBLE_EQ(files::ImportNumber(text, 1, "售价有误"), value) << text;
  }
  EXPECT_DOUBLE_EQ(files::ImportNumberOr("  ", 7, 1, "售价有误"), 7);
  for (const char* bad : {"", "abc", "1e3", "1,5", "12.5元", "1.2.3"}) {
    EXPECT_EQ(ErrorOf([&] { files::ImportNumber(bad, 4, "售价有误"); }), "第 4 行: 售价有误");
  }
  EXPECT_THROW(files::ImportNumberOr("x", 7, 4, "售价有误"), common::UserError);
}

TEST_F(TextFileTest, AStoppedOrFailedExportLeavesNoFileAndAnOldFileUntouched) {
  files::Table table{{"条码"}, std::vector<std::vector<std::string>>(5000, {"6901"})};
  std::size_t calls = 0;
  auto stop_soon = [&](std::size_t, std::size_t) { return ++calls < 3; };
  EXPECT_THROW(files::ExportListAsText(table, dir_ / "new.txt", stop_soon), files::Cancelled);
  EXPECT_TRUE(Files().empty());
  Write("old.txt", "good old file");
  calls = 0;
  EXPECT_THROW(files::ExportListAsText(table, dir_ / "old.txt", stop_soon), files::Cancelled);
  {
    files::TextFileWriter abandoned(dir_ / "old.txt");
    abandoned.Line("never committed");
  }
  EXPECT_EQ(FileBytes(dir_ / "old.txt"), "good old file");
  EXPECT_EQ(Files(), std::vector<std::string>{"old.txt"});
  EXPECT_THROW(files::TextFileWriter(dir_ / "missing" / "x.txt"), common::UserError);
}

}  // namespace
