#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/stocktake.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/files/import_check.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using files::RefuseLine;

constexpr std::size_t kProgressStep = 512;
constexpr std::size_t kExportFields = 6;

// One count of a file as its cells give it.
struct CountCells {
  int line = 0;
  std::string barcode;
  std::string quantity;
  bool complete = true;  // false: the text line has no second field
};

// Applies the counts in one transaction, after zeroing every count first when the file stands
// for the whole shop. Barcodes not on the count (a heading line among them) are skipped before
// their numbers are read; a bad number refuses the file and rolls everything back.
CountsImported Write(const std::vector<CountCells>& cells, bool zero_the_rest,
                     const files::Progress& progress) {
  store::Database db;
  PrepareBulkConnection(db);
  store::Transaction tx(db);
  // A count below 0 comes only from the stocktake itself (a negative book stock counted as it
  // stands): a file that brings such a count back unchanged is the till's own, any other
  // negative count is refused.
  std::unordered_map<std::string, double> negative;
  store::Statement held = db.Query("select barcode,invquant from invcount where invquant < 0");
  while (held.Step()) negative.emplace(held.Text(0), lookups::RoundTo(held.Double(1), 3));
  if (zero_the_rest) db.Exec("update invcount set invquant = 0,plquant = 0 - ifnull(accquant,0)");
  store::Statement on_count = db.Query("select 1 from invcount where barcode = ?");
  store::Statement update = db.Query(
      "update invcount set invquant = ?1,plquant = ?1 - ifnull(accquant,0) where barcode = ?2");
  CountsImported result;
  std::size_t done = 0;
  for (const CountCells& c : cells) {
    if (++done % kProgressStep == 0) files::ReportProgress(progress, done, cells.size());
    const std::string barcode = files::Trimmed(c.barcode);
    on_count.Reset();
    on_count.Bind(1, barcode);
    const bool listed = on_count.Step();
    on_count.Reset();
    if (!listed) {
      ++result.skipped;
      continue;
    }
    if (!c.complete) RefuseLine(c.line, "盘点字段不足");
    const double count = files::ImportNumber(c.quantity, c.line, "数量有误");
    if (!lookups::WithinTillRange(count, lookups::TillNumber::kQuantity)) {
      RefuseLine(c.line, "数量有误");
    }
    const auto own = negative.find(barcode);
    if (count < 0 && (own == negative.end() || own->second != lookups::RoundTo(count, 3))) {
      RefuseLine(c.line, "盘点数量必须大于或等于0");
    }
    update.Reset();
    update.BindAll(lookups::RoundTo(count, 3), barcode);
    update.Run();
    ++result.counted;
  }
  files::ReportProgress(progress, cells.size(), cells.size());
  tx.Commit();
  return result;
}

// The export's rows in barcode order, each as its six field texts.
template <typename Write>
void ForEachRow(const files::Progress& progress, Write&& write) {
  store::Database db;
  PrepareBulkConnection(db);
  store::ReadTransaction reading(db);
  const auto total =
      static_cast<std::size_t>(db.QueryInt("select count(*) from invcount").value_or(0));
  store::Statement statement = db.Query(
      "select a.barcode,b.goodsname,b.unit,a.accquant,a.invquant,a.plquant from invcount a left "
      "join goodsmaster b on (a.barcode = b.barcode) order by a.barcode");
  std::vector<std::string> fields(6);
  std::size_t done = 0;
  while (statement.Step()) {
    fields[0] = statement.Text(0);
    fields[1] = statement.Text(1);
    fields[2] = statement.Text(2);
    // Counts are stored to three decimals (weighed goods) and written as stored.
    fields[3] = kasso::Fixed(statement.Double(3), 3);
    fields[4] = kasso::Fixed(statement.Double(4), 3);
    fields[5] = kasso::Fixed(statement.Double(5), 3);
    write(fields);
    if (++done % kProgressStep == 0) files::ReportProgress(progress, done, total);
  }
  files::ReportProgress(progress, done, total);
}

}  // namespace

CountsImported ImportCountsText(const std::filesystem::path& file,
                                const files::Progress& progress) {
  std::vector<CountCells> cells;
  for (const files::TextRecord& record : files::ReadTextRecords(file, progress)) {
    std::vector<std::string> f = record.fields;
    const bool complete = f.size() >= 2;
    f.resize(std::max<std::size_t>(f.size(), 2));
    // A line of the export's own layout (barcode, name, unit, book, counted, difference)
    // gives its count fifth, so that an exported stocktake imports back as it is.
    cells.push_back({record.line, f[0], f.size() == kExportFields ? f[4] : f[1], complete});
  }
  return Write(cells, true, progress);
}

CountsImported ImportCountsExcel(const std::filesystem::path& file,
                                 const files::Progress& progress) {
  const files::Sheet sheet =
      files::ReadSpreadsheet(file, kStocktakeSheet, {"条码", "盘存数量"}, progress);
  const int barcode = sheet.Column("条码");
  const int quantity = sheet.Column("盘存数量");
  if (barcode < 0 || quantity < 0) throw kasso::UserError("盘点导入文件中必须包括: 条码,盘存数量");
  std::vector<CountCells> cells;
  for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
    const std::vector<std::string>& row = sheet.rows[i];
    if (files::Trimmed(row[barcode]).empty()) continue;
    cells.push_back({static_cast<int>(i) + 2, row[barcode], row[quantity]});
  }
  return Write(cells, false, progress);
}

void ExportStocktakeText(const std::filesystem::path& file, const files::Progress& progress) {
  files::TextFileWriter writer(file);
  ForEachRow(progress, [&](const std::vector<std::string>& fields) {
    writer.Line(files::TextLine(fields, false));
  });
  writer.Commit();
}

void ExportStocktakeSpreadsheet(const std::filesystem::path& file,
                                const files::Progress& progress) {
  files::SpreadsheetWriter writer(file, kStocktakeSheet,
                                  {{"条码", false},
                                   {"名称", false},
                                   {"单位", false},
                                   {"结存数量", true},
                                   {"盘存数量", true},
                                   {"盈亏数量", true}});
  ForEachRow(progress, [&](const std::vector<std::string>& fields) { writer.Row(fields); });
  writer.Commit();
}

}  // namespace backoffice
