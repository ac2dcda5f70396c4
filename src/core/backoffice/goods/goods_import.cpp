#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/goods_master.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/reports/import_check.h"
#include "core/reports/spreadsheet.h"
#include "core/reports/text_file.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using reports::ImportNumberOr;
using reports::RefuseLine;

constexpr std::size_t kProgressStep = 512;

// One goods of a file as its cells give it; empty where the file leaves a cell out.
struct GoodsCells {
  int line = 0;
  std::string barcode, name, sales, import, average, unit, class_name, scale, pluno, stock;
};

// One goods of a file after its checks, with the editor's defaults filled in.
struct NewGoods {
  std::string barcode, name, unit, class_name, scale;
  double sales = 0, import = 0, average = 0, stock = 0;
  std::int64_t pluno = 0;
};

NewGoods Check(const GoodsCells& cells) {
  const int line = cells.line;
  NewGoods goods;
  goods.barcode = reports::Trimmed(cells.barcode);
  goods.name = reports::Trimmed(cells.name);
  if (goods.barcode.empty()) RefuseLine(line, "条码不能为空");
  if (goods.name.empty()) RefuseLine(line, "名称不能为空");
  goods.sales = ImportNumberOr(cells.sales, 0, line, "售价有误");
  goods.import = ImportNumberOr(cells.import, 0, line, "进价有误");
  goods.average =
      ImportNumberOr(cells.average, goods.import > 0 ? goods.import : 0, line, "平均进价有误");
  goods.unit = reports::Trimmed(cells.unit);
  if (goods.unit.empty()) goods.unit = "个";
  goods.class_name = reports::Trimmed(cells.class_name);
  if (goods.class_name.empty()) goods.class_name = "未分类";
  goods.scale = reports::Trimmed(cells.scale);
  if (goods.scale.empty()) goods.scale = kNo;
  if (goods.scale != kYes && goods.scale != kNo) RefuseLine(line, "称重商品有误");
  const double pluno = ImportNumberOr(cells.pluno, 0, line, "PLU编号有误");
  if (pluno != std::trunc(pluno)) RefuseLine(line, "PLU编号有误");
  goods.pluno = static_cast<std::int64_t>(pluno);
  goods.stock = ImportNumberOr(cells.stock, 0, line, "库存有误");
  return goods;
}

// Writes the checked goods in one transaction with one prepared statement per table.
GoodsImported Write(const std::vector<NewGoods>& goods, const reports::Progress& progress) {
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
  for (const NewGoods& g : goods) {
    if (++done % kProgressStep == 0) reports::ReportProgress(progress, done, goods.size());
    exists.Reset();
    exists.Bind(1, g.barcode);
    if (exists.Step() || !seen.insert(g.barcode).second) {
      ++result.skipped;
      continue;
    }
    insert.Reset();
    insert.BindAll(g.barcode, g.name, g.unit, g.class_name, g.sales, g.sales, g.import, g.average,
                   now, g.scale, g.pluno, g.stock, kNo);
    insert.Run();
    orphan.Reset();
    orphan.Bind(1, g.barcode);
    orphan.Run();
    stock.Reset();
    stock.BindAll(g.barcode, g.stock);
    stock.Run();
    ++result.added;
  }
  reports::ReportProgress(progress, goods.size(), goods.size());
  tx.Commit();
  return result;
}

// A tenth field that is a recording date, as the export writes it, rather than a stock.
bool IsRecordingDate(const std::string& text) {
  const std::string field = reports::Trimmed(text);
  return field.empty() || (!reports::PlainNumber(field) && field.find('-') != std::string::npos);
}

}  // namespace

GoodsImported ImportGoodsText(const std::filesystem::path& file,
                              const reports::Progress& progress) {
  std::vector<reports::TextRecord> records = reports::ReadTextRecords(file, progress);
  std::vector<NewGoods> goods;
  goods.reserve(records.size());
  for (const reports::TextRecord& record : records) {
    reports::RequireFields(record, 10, "商品");
    const std::vector<std::string>& f = record.fields;
    GoodsCells cells{record.line, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
    // The export's own layout: recording date tenth, stock eleventh.
    if (f.size() >= 11 && IsRecordingDate(f[9])) cells.stock = f[10];
    goods.push_back(Check(cells));
  }
  return Write(goods, progress);
}

GoodsImported ImportGoodsSpreadsheet(const std::filesystem::path& file,
                                     const reports::Progress& progress) {
  const reports::Sheet sheet = reports::ReadSpreadsheet(
      file, kGoodsSheet,
      {"条码", "名称", "售价", "进价", "平均进价", "单位", "类别", "称重商品", "PLU编号", "库存"},
      progress);
  const int barcode = sheet.Column("条码");
  const int name = sheet.Column("名称");
  if (barcode < 0 || name < 0) throw kasso::UserError("商品导入文件中必须包括: 条码,名称");
  const int columns[] = {sheet.Column("售价"),    sheet.Column("进价"), sheet.Column("平均进价"),
                         sheet.Column("单位"),    sheet.Column("类别"), sheet.Column("称重商品"),
                         sheet.Column("PLU编号"), sheet.Column("库存")};
  std::vector<NewGoods> goods;
  goods.reserve(sheet.rows.size());
  for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
    const std::vector<std::string>& row = sheet.rows[i];
    auto cell = [&row](int column) { return column < 0 ? std::string() : row[column]; };
    bool blank = true;
    for (const std::string& text : row) blank = blank && reports::Trimmed(text).empty();
    if (blank) continue;
    goods.push_back(Check({static_cast<int>(i) + 2, cell(barcode), cell(name), cell(columns[0]),
                           cell(columns[1]), cell(columns[2]), cell(columns[3]), cell(columns[4]),
                           cell(columns[5]), cell(columns[6]), cell(columns[7])}));
  }
  return Write(goods, progress);
}

}  // namespace backoffice
