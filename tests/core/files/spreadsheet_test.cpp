#include "core/files/spreadsheet.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "core/files/list_export.h"
#include "support/hostile_workbooks.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using Row = std::vector<std::string>;
using testing_support::FileBytes;

const fs::path kFixtures = TILLWISE_FIXTURES;

class SpreadsheetTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing_support::MakeTempDir(); }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string ReadError(const fs::path& file, std::string_view sheet) {
    return testing_support::ErrorOf([&] { files::ReadSpreadsheet(file, sheet); });
  }

  fs::path dir_;
};

TEST_F(SpreadsheetTest, XlsxOdsAndXlsReadBackAsTheyShow) {
  files::Table table{{"条码", "名称", "售价", "库存"},
                     {{"007", "可乐,大", "3.50", "12"},
                      {"6902", "雪碧\"x\"", "abc", ""},
                      {"6903", "", "1000000", "0.10"}}};
  const fs::path file = dir_ / "goods.xlsx";
  files::ExportListAsSpreadsheet(table, file, "商品信息", {false, false, true, true});
  files::Sheet sheet = files::ReadSpreadsheet(file, "商品信息");
  EXPECT_EQ(sheet.names, table.titles);
  // "3.50" comes back as "3.5" and "0.10" as "0.1" only because they were stored as numbers;
  // "007" in a text column and "abc" in a number column stay as they were.
  EXPECT_EQ(sheet.rows, (std::vector<Row>{{"007", "可乐,大", "3.5", "12"},
                                          {"6902", "雪碧\"x\"", "abc", ""},
                                          {"6903", "", "1000000", "0.1"}}));
  EXPECT_EQ(std::make_pair(sheet.Column("售价"), sheet.Column("进价")), std::make_pair(2, -1));
  // The only sheet of a workbook is read whatever name is asked for.
  EXPECT_EQ(files::ReadSpreadsheet(file, "查询结果").rows.size(), 3u);
  table.rows.clear();
  files::ExportListAsSpreadsheet(table, file, "查询结果");
  sheet = files::ReadSpreadsheet(file, "查询结果");
  EXPECT_EQ(sheet.names, table.titles);
  EXPECT_TRUE(sheet.rows.empty());
  const fs::path dates = dir_ / "dates.xlsx";
  lxw_workbook* book = workbook_new(dates.c_str());
  lxw_worksheet* other = workbook_add_worksheet(book, "说明");
  worksheet_write_string(other, 0, 0, "不读", nullptr);
  lxw_worksheet* ws = workbook_add_worksheet(book, "进货单");
  lxw_format* date = workbook_add_format(book);
  format_set_num_format_index(date, 14);
  lxw_format* stamp = workbook_add_format(book);
  format_set_num_format(stamp, "yyyy-mm-dd hh:mm:ss");
  lxw_format* money = workbook_add_format(book);
  format_set_num_format(money, "0.00");
  const char* titles[] = {"日期", "时间", "金额", "合计", "空"};
  for (lxw_col_t col = 0; col < 5; ++col) worksheet_write_string(ws, 0, col, titles[col], nullptr);
  worksheet_write_number(ws, 1, 0, 45366, date);  // 2024-03-15
  worksheet_write_number(ws, 1, 1, 45366.5, stamp);
  worksheet_write_number(ws, 1, 2, 12.5, money);
  worksheet_write_formula_num(ws, 1, 3, "=C2*2", nullptr, 25);
  worksheet_write_string(ws, 4, 4, " ", nullptr);  // a blank far down is kept as a row
  worksheet_write_blank(ws, 9, 0, money);          // a formatted empty cell is not a row
  ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
  files::Sheet read = files::ReadSpreadsheet(dates, "进货单");
  ASSERT_EQ(read.rows.size(), 4u);
  EXPECT_EQ(read.rows[0], (Row{"2024-03-15", "2024-03-15 12:00:00", "12.5", "25", ""}));
  EXPECT_EQ(read.rows[3], (Row{"", "", "", "", " "}));
  EXPECT_EQ(ReadError(dates, "无此表"), "打开文件错误");  // two sheets, none of that name
  sheet = files::ReadSpreadsheet(kFixtures / "members.ods", "会员信息");
  EXPECT_EQ(sheet.names, (Row{"编号", "名称", "积分", "生日"}));
  // Repeated empty cells keep their places; the repeated empty rows at the end are dropped.
  EXPECT_EQ(sheet.rows, (std::vector<Row>{{"M001", "张三,李四", "12.5", "1990-05-04"},
                                          {"1002", "", "", "无"}}));
  sheet = files::ReadSpreadsheet(kFixtures / "goods.xls", "商品信息");
  EXPECT_EQ(sheet.names, (Row{"条码", "名称", "售价", "数量", "日期"}));  // " 售价 " trimmed
  EXPECT_EQ(sheet.rows, (std::vector<Row>{{"6901234567890", "可口可乐", "3.5", "12", "2024-03-15"},
                                          {"6901", "雪碧,大瓶", "0.1", "1000000", ""}}));
  EXPECT_EQ(ReadError(kFixtures / "goods.xls", "进货单"), "打开文件错误");
}

TEST_F(SpreadsheetTest, AStoppedExportLeavesAnOldWorkbookAndWhatIsNotAWorkbookIsRefused) {
  const fs::path file = dir_ / "list.xlsx";
  std::ofstream(file) << "good old file";
  files::Table table{{"条码"}, std::vector<Row>(5000, {"6901"})};
  std::size_t calls = 0;
  auto stop_soon = [&](std::size_t, std::size_t) { return ++calls < 3; };
  EXPECT_THROW(files::ExportListAsSpreadsheet(table, file, "查询结果", {}, stop_soon),
               files::Cancelled);
  EXPECT_EQ(FileBytes(file), "good old file");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  // Reading a long workbook can be stopped too.
  files::ExportListAsSpreadsheet(table, dir_ / "long.xlsx", "查询结果");
  EXPECT_THROW(files::ReadSpreadsheet(dir_ / "long.xlsx", "查询结果",
                                      [](std::size_t, std::size_t) { return false; }),
               files::Cancelled);
  fs::remove(dir_ / "long.xlsx");
  EXPECT_THROW(files::SpreadsheetWriter(dir_ / "x.xlsx", "bad[name]", {{"a"}}), common::UserError);
  EXPECT_FALSE(fs::exists(dir_ / "x.xlsx"));
  std::ofstream(dir_ / "text.xlsx") << "条码,名称\r\n6901,可乐\r\n";
  std::ofstream(dir_ / "broken.xlsx", std::ios::binary) << "PK\x03\x04 not really a zip";
  std::ofstream(dir_ / "broken.xls", std::ios::binary) << "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 no";
  for (const char* name : {"text.xlsx", "broken.xlsx", "broken.xls", "absent.xlsx"}) {
    EXPECT_EQ(ReadError(dir_ / name, "商品信息"), "打开文件错误") << name;
  }
}

TEST_F(SpreadsheetTest, CellsOfEveryKindReadAsTheirValueOrAsTextThatIsNoNumber) {
  // As spreadsheet programs write them: a currency format, shared formulas with stored
  // results, rich text, errors, booleans, a formula never calculated.
  files::Sheet sheet = files::ReadSpreadsheet(kFixtures / "cell_kinds.xlsx", "进货单");
  EXPECT_EQ(sheet.names, (Row{"条码", "数量", "金额", "说明", "日期"}));
  EXPECT_EQ(sheet.rows, (std::vector<Row>{{"1001", "10", "300", "可乐 大瓶", "2024-03-15"},
                                          {"1002", "20", "150", "箱1002", "2024-03-15 12:30:00"},
                                          {"1003", "40", "#N/A", "TRUE", "#DIV/0!"},
                                          {"1004", "FALSE", "=A5*2", "", ""}}));
  // Only the named columns are read, in the sheet's order.
  sheet = files::ReadSpreadsheet(kFixtures / "cell_kinds.xlsx", "进货单", {"金额", "条码", "无"});
  EXPECT_EQ(sheet.names, (Row{"条码", "金额"}));
  EXPECT_EQ(sheet.rows.back(), (Row{"1004", "=A5*2"}));
  sheet = files::ReadSpreadsheet(kFixtures / "cell_kinds.ods", "会员信息");
  EXPECT_EQ(sheet.rows, (std::vector<Row>{{"M100", "张三", "是", "12.5", "是", "300"},
                                          {"M101", "李四", "否", "0.15", "否", ""}}));
  sheet = files::ReadSpreadsheet(kFixtures / "cell_kinds.ods", "各种");
  const Row repeated{"FALSE", "#N/A", "2024-03-15 12:00:00", "", "同", "同", "同"};
  EXPECT_EQ(sheet.rows,
            (std::vector<Row>{{"TRUE", "#DIV/0!", "2024-03-15", "12:30:00", "甲  乙\n丙", "", "同"},
                              repeated,
                              repeated}));
}

TEST_F(SpreadsheetTest, InlineStringsAndEscapedCharactersReadAsWritten) {
  // A workbook made by Python's openpyxl, which writes every text as an inline string.
  files::Sheet sheet = files::ReadSpreadsheet(kFixtures / "goods_openpyxl.xlsx", "商品信息");
  EXPECT_EQ(sheet.names, (Row{"条码", "名称", "售价", "进价", "单位", "库存"}));
  EXPECT_EQ(sheet.rows,
            (std::vector<Row>{{"6901234567890", "可口可乐", "3.5", "2.1", "瓶", "24"},
                              {"6901234567891", "雪碧 大瓶", "4", "2.5", "瓶", "7.125"}}));
  const Row names{"雪碧\r\n大瓶", "a_x0041_b", "_x005F_", "€\t"};
  files::Table table{{"名称"}, {}};
  for (const std::string& name : names) table.rows.push_back({name});
  files::ExportListAsSpreadsheet(table, dir_ / "names.xlsx", "查询结果");
  sheet = files::ReadSpreadsheet(dir_ / "names.xlsx", "查询结果");
  ASSERT_EQ(sheet.rows.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(sheet.rows[i][0], names[i]);
}

TEST_F(SpreadsheetTest, RowsHandedOnOneByOneAreTheSheetsRowsAndARefusedRowEndsTheReading) {
  // A workbook with shared strings, a row far down and a formatted empty cell.
  const fs::path shared = dir_ / "shared.xlsx";
  lxw_workbook* book = workbook_new(shared.c_str());
  lxw_worksheet* ws = workbook_add_worksheet(book, "商品信息");
  const char* titles[] = {"条码", "名称", "售价"};
  for (lxw_col_t col = 0; col < 3; ++col) worksheet_write_string(ws, 0, col, titles[col], nullptr);
  worksheet_write_string(ws, 1, 0, "6901", nullptr);
  worksheet_write_string(ws, 1, 1, "可乐", nullptr);
  worksheet_write_number(ws, 1, 2, 3.5, nullptr);
  worksheet_write_string(ws, 6, 1, "可乐", nullptr);  // the same shared string again
  worksheet_write_string(ws, 6, 2, "", nullptr);
  worksheet_write_blank(ws, 8, 0, workbook_add_format(book));
  ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
  files::Table table{{"条码", "名称", "售价"}, {{"1", "甲", "2"}, {"", "", ""}, {"3", "", "x"}}};
  files::ExportListAsSpreadsheet(table, dir_ / "ours.xlsx", "商品信息", {false, false, true});
  const std::vector<std::string> some{"名称", "条码"};
  const std::tuple<fs::path, std::string, std::vector<std::string>> reads[] = {
      {shared, "商品信息", {}},
      {shared, "商品信息", some},
      {dir_ / "ours.xlsx", "商品信息", {}},
      {kFixtures / "cell_kinds.xlsx", "进货单", {}},
      {kFixtures / "goods_openpyxl.xlsx", "商品信息", some},
      {dir_ / "ours.xlsx", "另一个名称", {}},           // the only sheet
      {kFixtures / "members.ods", "会员信息", {}},      // not the first sheet
      {kFixtures / "one_sheet.ods", "另一个名称", {}},  // the only sheet
      {kFixtures / "cell_kinds.ods", "各种", {}},
      {kFixtures / "goods.xls", "商品信息", some}};
  for (const auto& [file, sheet, columns] : reads) {
    // What a streaming reader hands on is what the whole sheet holds, at the same lines.
    const files::Sheet whole = files::ReadSpreadsheet(file, sheet, columns);
    std::vector<std::pair<std::size_t, Row>> expected{{1, whole.names}};
    for (std::size_t i = 0; i < whole.rows.size(); ++i) {
      const Row& row = whole.rows[i];
      if (std::any_of(row.begin(), row.end(), [](const auto& c) { return !c.empty(); })) {
        expected.emplace_back(i + 2, row);
      }
    }
    std::vector<std::pair<std::size_t, Row>> handed;
    const Row names = files::ReadSpreadsheetRows(
        file, sheet, columns,
        [&](std::size_t line, Row& cells) { handed.emplace_back(line, cells); });
    EXPECT_EQ(handed, expected) << file << " " << sheet;
    EXPECT_EQ(names, whole.names) << file;
    EXPECT_GT(expected.size(), 1u) << file;
  }
  // What the receiver throws ends the reading there, thrown on as it was.
  files::Table many{{"条码"}, std::vector<Row>(3000, {"6901"})};
  files::ExportListAsSpreadsheet(many, dir_ / "many.xlsx", "查询结果");
  std::size_t last = 0;
  EXPECT_EQ(testing_support::ErrorOf([&] {
              files::ReadSpreadsheetRows(dir_ / "many.xlsx", "查询结果", {},
                                         [&](std::size_t line, Row&) {
                                           last = line;
                                           if (line == 1200) throw common::UserError("第 1200 行");
                                         });
            }),
            "第 1200 行");
  EXPECT_EQ(last, 1200u);
  std::size_t calls = 0;
  EXPECT_EQ(testing_support::ErrorOf([&] {
              files::ReadSpreadsheetRows(kFixtures / "members.ods", "会员信息", {},
                                         [&](std::size_t, Row&) {
                                           if (++calls == 2) throw common::UserError("停");
                                         });
            }),
            "停");
  EXPECT_EQ(calls, 2u);
}

TEST_F(SpreadsheetTest, AWorkbookTakesMemoryByItsCellsAndPastTheFormatsLimitsIsRefused) {
  // One goods row, then 3 000 rows each with one cell in the last column: read under a cap
  // of 256 MB more than the test program already maps, in a child so the cap ends with it.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t cap = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (256u << 20);
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
    int status = 3;
    try {
      const files::Sheet read =
          files::ReadSpreadsheet(kFixtures / "xfd_rows.xlsx", "商品信息", {"条码", "名称"});
      status = read.rows == std::vector<Row>{{"7001", "牛奶"}} ? 0 : 1;
    } catch (...) {
      status = 2;
    }
    _exit(status);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(ReadError(kFixtures / "past_limits.xlsx", "商品信息"),
            "表格超出范围: 最多 1048576 行, 16384 列");
}

TEST_F(SpreadsheetTest, AWorkbookWhoseCellsUnfoldPast128MbIsRefusedAndASmallOneReads) {
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return dir_ / name;
  };
  constexpr int kText = 100'000;  // letters of the one text every cell repeats
  // 1 500 cells of 100 000 letters (150 MB) from one shared string, in a few kilobytes.
  const fs::path xlsx =
      write("shared.xlsx", testing_support::RepeatedSharedStringXlsx(150, 10, kText));
  EXPECT_LT(fs::file_size(xlsx), 64u << 10);
  EXPECT_EQ(ReadError(xlsx, "Sheet1"), "表格内容太多 (超过 128 MB), 不能读入");
  // The names row alone: 1 400 names of 100 000 letters.
  EXPECT_EQ(
      ReadError(write("names.xlsx", testing_support::RepeatedSharedStringXlsx(1, 1400, kText)),
                "Sheet1"),
      "表格内容太多 (超过 128 MB), 不能读入");
  // One cell repeated over 1 000 columns, in a names row and a row repeated 10 times.
  EXPECT_EQ(
      ReadError(write("cells.ods", testing_support::RepeatedCellOds(10, 1000, kText)), "Sheet1"),
      "表格内容太多 (超过 128 MB), 不能读入");
  EXPECT_EQ(
      ReadError(write("names.ods", testing_support::RepeatedCellOds(0, 1400, kText)), "Sheet1"),
      "表格内容太多 (超过 128 MB), 不能读入");
  // Short names, then one row whose one cell repeats over 1 400 columns (140 MB).
  EXPECT_EQ(
      ReadError(write("row.ods", testing_support::RepeatedCellOds(1, 1400, kText, 8)), "Sheet1"),
      "表格内容太多 (超过 128 MB), 不能读入");
  // The same shapes well under the limit read whole.
  const files::Sheet xlsx_sheet = files::ReadSpreadsheet(
      write("small.xlsx", testing_support::RepeatedSharedStringXlsx(50, 10, kText)), "Sheet1");
  EXPECT_EQ(xlsx_sheet.rows.size(), 49u);
  EXPECT_EQ(xlsx_sheet.rows.back().back().size(), static_cast<std::size_t>(kText));
  const files::Sheet ods_sheet = files::ReadSpreadsheet(
      write("small.ods", testing_support::RepeatedCellOds(5, 100, kText)), "Sheet1");
  EXPECT_EQ(ods_sheet.rows.size(), 5u);
  EXPECT_EQ(ods_sheet.names.size(), 100u);
}

TEST_F(SpreadsheetTest, AnXlsThatCrashesItsReaderIsRefusedAndTheNextOneReads) {
  // Four bytes changed in goods.xls make freexl free a block twice and abort: the file is read
  // in a child process, so only the child dies and the file is refused.
  EXPECT_EQ(ReadError(kFixtures / "freexl_double_free.xls", "商品信息"), "打开文件错误");
  const files::Sheet sound = files::ReadSpreadsheet(kFixtures / "goods.xls", "商品信息");
  EXPECT_FALSE(sound.names.empty());
  EXPECT_FALSE(sound.rows.empty());
  // A till that has mapped much already (Qt, fonts, stacks) still reads .xls: the child's
  // memory limit comes on top of what it starts with. Run in a child of the test, which
  // reserves 3 GB of address space first.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    void* reserved = mmap(nullptr, std::size_t{3} << 30, PROT_NONE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    int status = reserved == MAP_FAILED ? 3 : 1;
    try {
      if (status == 1 &&
          !files::ReadSpreadsheet(kFixtures / "goods.xls", "商品信息").rows.empty()) {
        status = 0;
      }
    } catch (...) {
      status = 2;
    }
    _exit(status);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
