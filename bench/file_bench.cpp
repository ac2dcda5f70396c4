// file_bench: do the text and spreadsheet files cost little beyond the raw work they need?
// A list of 200 000 rows of 15 fields is exported as text (GBK, CR LF, every field followed by
// ","), timed against writing the same bytes with a plain ofstream; 100 000 such lines are
// read back from the text file and from an .xlsx workbook of the same cells, timed against the
// raw reading of the text file: one iconv of the whole file and a split on commas and line
// ends. The .xlsx export of the 200 000 rows is shown too, against the same raw write.
// Each figure is the median of a few runs.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/text_encoding.h"
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

std::size_t g_sink = 0;

// A list as the query screen shows it: barcode, name, class, unit, then numbers and a date.
files::Table MakeTable(std::size_t rows) {
  files::Table table;
  table.titles = {"条码", "名称", "类别", "单位", "售价", "会员价", "进价", "平均进价",
                  "数量", "金额", "折扣", "积分", "库存", "操作员", "日期"};
  const char* names[] = {"可口可乐 330ml", "康师傅红烧牛肉面", "农夫山泉,550ml", "青岛啤酒"};
  const char* classes[] = {"饮料", "食品", "日用", "烟酒"};
  table.rows.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    const std::string price = std::to_string(1 + i % 97) + "." + std::to_string(10 + i % 90);
    table.rows.push_back({std::to_string(6900000000000 + i), names[i % 4], classes[i % 4], "个",
                          price, price, "1.20", "1.18", std::to_string(i % 12 + 1), price, "1.00",
                          std::to_string(i % 50), std::to_string(i % 300), "0",
                          "2024-03-15 10:" + std::to_string(10 + i % 50) + ":00"});
  }
  return table;
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
                     MedianSeconds([&] { files::ExportListAsSpreadsheet(big, book, "查询结果"); }),
                     raw_write});
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);

  files::ExportListAsText(part, text);
  files::ExportListAsSpreadsheet(part, book, "查询结果");
  const double raw_read = MedianSeconds([&] { RawRead(text); });
  figures.push_back({"text read, 100000 lines",
                     MedianSeconds([&] { g_sink += files::ReadTextRecords(text).size(); }),
                     raw_read, kTextReadRatio});
  figures.push_back({"xlsx read, 100000 lines", MedianSeconds([&] {
                       g_sink += files::ReadSpreadsheet(book, "查询结果").rows.size();
                     }),
                     raw_read});

  std::printf("\nfiles of 15 fields per row (median of %d runs)\n", kRuns);
  std::printf("  %-26s %10s %10s %9s\n", "work", "op s", "raw s", "op/raw");
  bool pass = true;
  for (const Figure& figure : figures) {
    const double ratio = figure.seconds / figure.raw;
    std::printf("  %-26s %10.3f %10.3f %8.2fx", figure.what, figure.seconds, figure.raw, ratio);
    if (figure.target > 0) {
      pass = pass && ratio <= figure.target;
      std::printf(" (target <= %.0fx)", figure.target);
    }
    std::printf("\n");
  }
  std::printf("\npeak memory after the exports: %.0f MB\n", usage.ru_maxrss / 1024.0);
  std::printf("\n%s (checksum %zu)\n", pass ? "all targets met" : "SOME TARGETS MISSED",
              g_sink % 1000);
  return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::MainWithDir(argc, argv, "tillwise_file_bench", Run);
}
