#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/backoffice/goods/goods_checks.h"
#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/goods_master.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/files/import_check.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using files::RefuseLine;

constexpr std::size_t kProgressStep = 512;

// One goods of a file as its cells give it; empty where the file leaves a cell out.
struct GoodsCells {
  int line = 0;
  std::string barcode, name, sales, import, average, unit, class_name, scale, pluno, stock;
};

// The editor's own checks, worded by the file's column titles and refusing the line.
ValidGoods Check(const GoodsCells& cells) {
  GoodsFields fields;
  fields.barcode = cells.barcode;
  fields.goodsname = cells.name;
  fields.unit = cells.unit;
  fields.class_name = cells.class_name;
  fields.isscalegoods = cells.scale;
  fields.pluno = cells.pluno;
  fields.salesprice = cells.sales;  // the member price follows it
  fields.importprice = cells.import;
  fields.averageimportprice = cells.average;
  fields.iniinventory = cells.stock;
  try {
    return ValidateGoods(fields, GoodsSource::kFile);
  } catch (const kasso::ValidationError& error) {
    RefuseLine(cells.line, error.what());
  }
}

// Writes the checked goods in one transaction with one prepared statement per table.
GoodsImported Write(const std::vector<ValidGoods>& goods, const files::Progress& progress) {
  store::Database db;
  PrepareBulkConnection(db);
  store::Transaction tx(db);
  store::Statement exists = db.Query("select 1 from goodsmaster where barcode = ?");
  store::Statement insert = db.Query(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,importprice,"
      "averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,givepoints,iscombined) "
      "values (?,?,?,?,?,?,?,?,?,?,?,?,1,?)");
  // A stock row left over from older data would make two rows for one goods.
  store::Statement orphan = db.Query("delete from inventory where barcode = ?");
  store::Statement stock = db.Query("insert into inventory (barcode,quantity) values (?,?)");
  const std::string now = kasso::NowText();
  std::unordered_set<std::string> seen;
  GoodsImported result;
  std::size_t done = 0;
  for (const ValidGoods& g : goods) {
    if (++done % kProgressStep == 0) files::ReportProgress(progress, done, goods.size());
    const GoodsFields& f = g.text;
    exists.Reset();
    exists.Bind(1, f.barcode);
    if (exists.Step() || !seen.insert(f.barcode).second) {
      ++result.skipped;
      continue;
    }
    insert.Reset();
    insert.BindAll(f.barcode, f.goodsname, f.unit, f.class_name, g.salesprice, g.memberprice,
                   g.importprice, g.averageimportprice, now, f.isscalegoods, g.pluno,
                   g.iniinventory, f.iscombined);
    insert.Run();
    orphan.Reset();
    orphan.Bind(1, f.barcode);
    orphan.Run();
    stock.Reset();
    stock.BindAll(f.barcode, g.iniinventory);
    stock.Run();
    ++result.added;
  }
  files::ReportProgress(progress, goods.size(), goods.size());
  tx.Commit();
  return result;
}

// A tenth field that is a recording date, as the export writes it, rather than a stock.
bool IsRecordingDate(const std::string& text) {
  const std::string field = files::Trimmed(text);
  return field.empty() || (!files::PlainNumber(field) && field.find('-') != std::string::npos);
}

}  // namespace

GoodsImported ImportGoodsText(const std::filesystem::path& file, const files::Progress& progress) {
  std::vector<files::TextRecord> records = files::ReadTextRecords(file, progress);
  std::vector<ValidGoods> goods;
  goods.reserve(records.size());
  for (const files::TextRecord& record : records) {
    files::RequireFields(record, 10, "商品");
    const std::vector<std::string>& f = record.fields;
    GoodsCells cells{record.line, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
    // The export's own layout: recording date tenth, stock eleventh.
    if (f.size() >= 11 && IsRecordingDate(f[9])) cells.stock = f[10];
    goods.push_back(Check(cells));
  }
  return Write(goods, progress);
}

GoodsImported ImportGoodsSpreadsheet(const std::filesystem::path& file,
                                     const files::Progress& progress) {
  // The rows are checked as they are read, so only the checked goods are held, never the sheet.
  constexpr int kColumns = 10;  // barcode, name, then the optional ones
  const char* const titles[kColumns] = {"条码", "名称", "售价",     "进价",    "平均进价",
                                        "单位", "类别", "称重商品", "PLU编号", "库存"};
  int columns[kColumns];
  std::vector<ValidGoods> goods;
  files::ReadSpreadsheetRows(
      file, kGoodsSheet, std::vector<std::string>(titles, titles + kColumns),
      [&](std::size_t line, std::vector<std::string>& row) {
        if (line == 1) {
          for (int i = 0; i < kColumns; ++i) {
            const auto at = std::find(row.begin(), row.end(), titles[i]);
            columns[i] = at == row.end() ? -1 : static_cast<int>(at - row.begin());
          }
          if (columns[0] < 0 || columns[1] < 0) {
            throw kasso::UserError("商品导入文件中必须包括: 条码,名称");
          }
          return;
        }
        bool blank = true;
        for (const std::string& text : row) blank = blank && files::Trimmed(text).empty();
        if (blank) return;
        GoodsCells cells;
        cells.line = static_cast<int>(line);
        std::string* fields[kColumns] = {
            &cells.barcode, &cells.name,       &cells.sales, &cells.import, &cells.average,
            &cells.unit,    &cells.class_name, &cells.scale, &cells.pluno,  &cells.stock};
        for (int i = 0; i < kColumns; ++i) {
          if (columns[i] >= 0) *fields[i] = std::move(row[static_cast<std::size_t>(columns[i])]);
        }
        goods.push_back(Check(cells));
      },
      progress);
  return Write(goods, progress);
}

}  // namespace backoffice
