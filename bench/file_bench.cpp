// file_bench: do the text and spreadsheet files cost little beyond the raw work they need?
// A list of 200 000 rows of 15 fields is exported as text (GBK, CR LF, every field followed by
// ","), timed against writing the same bytes with a plain ofstream; 100 000 such lines are
// read back from the text file and from an .xlsx workbook of the same cells, timed against the
// raw reading of the text file: one iconv of the whole file and a split on commas and line
// ends. The .xlsx export of the 200 000 rows is shown too, against the same raw write.
// Each figure is the median of a few runs. Before any of that, while this process is small,
// the .xlsx export of 200 000 rows and its reading back row by row each run in a child process
// whose peak memory is held to a target.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/text_encoding.h"
#include "core/files/import_check.h"
#include "core/files/list_export.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "figures.h"
#include "measure.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kExportRows = 200'000;
constexpr std::size_t kReadRows = 100'000;
constexpr int kRuns = 5;
// Targets for the text files, whose raw work is the same bytes: the export formats 3 000 000
// fields, converts them to GBK and flushes the file to disk (so a power cut cannot leave half
// of it) on top of a plain write into the page cache; the reader decides the encoding and honours
// quotes on top of a plain split. The workbooks have no ratio target: zip and XML are their
// libraries' work, not ours; their times are shown against the same raw work for scale.
constexpr double kTextExportRatio = 10.0;
constexpr double kTextReadRatio = 2.0;
// A workbook of any length is written and read in little memory: the peak of the whole process
// (the program itself included) at most this many MB.
constexpr double kPeakMegabytes = 100;
constexpr const char* kSheet = "查询结果";

std::size_t g_sink = 0;

// A list as the query screen shows it: barcode, name, class, unit, then numbers and a date.
const std::vector<std::string> kTitles = {"条码",   "名称", "类别",     "单位",   "售价",
                                          "会员价", "进价", "平均进价", "数量",   "金额",
                                          "折扣",   "积分", "库存",     "操作员", "日期"};
constexpr std::size_t kFirstNumber = 4;  // 售价 .. 库存 hold numbers
constexpr std::size_t kLastNumber = 12;

std::vector<std::string> ListRow(std::size_t i) {
  const char* names[] = {"可口可乐 330ml", "康师傅红烧牛肉面", "农夫山泉,550ml", "青岛啤酒"};
  const char* classes[] = {"饮料", "食品", "日用", "烟酒"};
  const std::string price = std::to_string(1 + i % 97) + "." + std::to_string(10 + i % 90);
  return {std::to_string(6900000000000 + i),
          names[i % 4],
          classes[i % 4],
          "个",
          price,
          price,
          "1.20",
          "1.18",
          std::to_string(i % 12 + 1),
          price,
          "1.00",
          std::to_string(i % 50),
          std::to_string(i % 300),
          "0",
          "2024-03-15 10:" + std::to_string(10 + i % 50) + ":00"};
}

files::Table MakeTable(std::size_t rows) {
  files::Table table;
  table.titles = kTitles;
  table.rows.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) table.rows.push_back(ListRow(i));
  return table;
}

// The workbook of a long list, its rows made as they are written (as an export steps through
// its query), so that the memory measured is the writer's.
void WriteLongWorkbook(const fs::path& file, std::size_t rows) {
  std::vector<files::SheetColumn> columns;
  for (std::size_t col = 0; col < kTitles.size(); ++col) {
    columns.push_back({kTitles[col], col >= kFirstNumber && col <= kLastNumber});
  }
  files::SpreadsheetWriter writer(file, kSheet, std::move(columns));
  for (std::size_t i = 0; i < rows; ++i) writer.Row(ListRow(i));
  writer.Commit();
}

// Reads a workbook back as an import does, row by row: the number columns checked as numbers,
// the rest looked at, nothing held. Throws when a row is not the one written.
void ReadLongWorkbook(const fs::path& file, std::size_t rows) {
  std::size_t read = 0;
  files::ReadSpreadsheetRows(file, kSheet, {},
                             [&](std::size_t line, std::vector<std::string>& cells) {
                               if (line == 1) return;
                               for (std::size_t col = kFirstNumber; col <= kLastNumber; ++col) {
                                 if (!files::PlainNumber(cells[col]))
                                   throw std::runtime_error("not a number: " + cells[col]);
                               }
                               g_sink += cells[0].size() + cells[1].size();
                               ++read;
                             });
  if (read != rows) throw std::runtime_error("read " + std::to_string(read) + " rows");
}

// The peak memory of a 200 000-row workbook written and read back, each in a child process of
// its own, beside a child that does nothing (the program's own memory).
bool MeasureMemory(const fs::path& dir) {
  const fs::path book = dir / "long.xlsx";
  const bench::Usage idle = bench::MeasureInChild([] {});
  const bench::Usage write = bench::MeasureInChild([&] { WriteLongWorkbook(book, kExportRows); });
  const bench::Usage read = bench::MeasureInChild([&] { ReadLongWorkbook(book, kExportRows); });
  const bench::Usage whole =
      bench::MeasureInChild([&] { g_sink += files::ReadSpreadsheet(book, kSheet).rows.size(); });
  std::printf("\nxlsx of %zu rows of 15 fields (%.1f MB), each in a child process\n", kExportRows,
              static_cast<double>(fs::file_size(book)) / 1e6);
  std::printf("  %-44s %8s %8s %10s %10s\n", "work", "s", "cpu s", "peak MB", "/ idle");
  const std::pair<const char*, const bench::Usage*> lines[] = {
      {"nothing (the program's own memory)", &idle},
      {"xlsx export, 200000 rows", &write},
      {"xlsx import, 200000 rows, row by row", &read},
      {"xlsx read into one sheet, 200000 rows", &whole}};
  for (const auto& [what, usage] : lines) {
    std::printf("  %-44s %8.3f %8.3f %10.1f %9.1fx\n", what, usage->seconds, usage->cpu,
                usage->peak_mb, usage->peak_mb / idle.peak_mb);
  }
  std::printf(
      "  (target: export and row-by-row import at most %.0f MB; the whole sheet is held "
      "only for scale)\n",
      kPeakMegabytes);
  const bool write_met =
      bench::Target("xlsx export of 200000 rows, peak memory", write.peak_mb, kPeakMegabytes, "MB");
  const bool read_met =
      bench::Target("xlsx import of 200000 rows, peak memory", read.peak_mb, kPeakMegabytes, "MB");
  return write_met && read_met;
}

double MedianSeconds(const std::function<void()>& run) {
  std::vector<double> seconds;
  for (int i = 0; i < kRuns; ++i) {
    const Clock::time_point start = Clock::now();
    run();
    seconds.push_back(bench::SecondsSince(start));
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[kRuns / 2];
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The least reading a text import needs: the file, one conversion, every field as a string.
void RawRead(const fs::path& file) {
  const std::string text = kasso::GbkToUtf8(ReadBytes(file));
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != ',' && c != '\n') continue;
    std::size_t end = i;
    if (c == '\n' && end > start && text[end - 1] == '\r') --end;
    fields.emplace_back(text.data() + start, end - start);
    start = i + 1;
    if (c == '\n') rows.push_back(std::move(fields)), fields.clear();
  }
  g_sink += rows.size();
}

struct Figure {
  const char* what;
  double seconds;
  double raw;
  double target = 0;  // op/raw at most; 0: none
};

int Run(const fs::path& base) {
#ifndef NDEBUG
  std::printf("warning: built without NDEBUG; build in Release for figures that mean much\n");
#endif
  bench::ScratchDir scratch{base / ("tillwise-file-bench-" + std::to_string(getpid()))};
  fs::create_directories(scratch.path);
  // First, while this process holds little: the children start from its memory.
  bool pass = MeasureMemory(scratch.path);
  const files::Table big = MakeTable(kExportRows);
  files::Table part{big.titles, {big.rows.begin(), big.rows.begin() + kReadRows}};

  const fs::path text = scratch.path / "list.txt";
  const fs::path raw_text = scratch.path / "raw.txt";
  const fs::path book = scratch.path / "list.xlsx";
  files::ExportListAsText(big, text);
  const std::string bytes = ReadBytes(text);
  std::printf("text file of %zu rows: %.1f MB\n", kExportRows, bytes.size() / 1e6);

  std::vector<Figure> figures;
  const double raw_write = MedianSeconds([&] {
    std::ofstream out(raw_text, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
  figures.push_back({"text export, 200000 rows",
                     MedianSeconds([&] { files::ExportListAsText(big, text); }), raw_write,
                     kTextExportRatio});
  figures.push_back({"xlsx export, 200000 rows",
                     MedianSeconds([&] { files::ExportListAsSpreadsheet(big, book, kSheet); }),
                     raw_write});

  files::ExportListAsText(part, text);
  files::ExportListAsSpreadsheet(part, book, kSheet);
  const double raw_read = MedianSeconds([&] { RawRead(text); });
  figures.push_back({"text read, 100000 lines",
                     MedianSeconds([&] { g_sink += files::ReadTextRecords(text).size(); }),
                     raw_read, kTextReadRatio});
  figures.push_back({"xlsx read, 100000 lines", MedianSeconds([&] {
                       g_sink += files::ReadSpreadsheet(book, kSheet).rows.size();
                     }),
                     raw_read});

  std::printf("\nfiles of 15 fields per row (median of %d runs)\n", kRuns);
  std::printf("  %-26s %10s %10s %9s\n", "work", "op s", "raw s", "op/raw");
  for (const Figure& figure : figures) {
    const double ratio = figure.seconds / figure.raw;
    std::printf("  %-26s %10.3f %10.3f %8.2fx", figure.what, figure.seconds, figure.raw, ratio);
    if (figure.target > 0) std::printf(" (target <= %.0fx)", figure.target);
    std::printf("\n");
  }
  for (const Figure& figure : figures) {
    if (figure.target > 0) {
      pass = bench::Target(std::string(figure.what) + ", op/raw", figure.seconds / figure.raw,
                           figure.target, "x") &&
             pass;
    }
  }
  std::printf("\n%s (checksum %zu)\n", pass ? "all targets met" : "SOME TARGETS MISSED",
              g_sink % 1000);
  return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::MainWithDir(argc, argv, "tillwise_file_bench", Run);
}
