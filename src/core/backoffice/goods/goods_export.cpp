#include <string>
#include <vector>

#include "core/backoffice/goods/goods_files.h"
#include "core/common/format.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

// How often long work tells its progress.
constexpr std::size_t kProgressStep = 512;

// The export's rows in barcode order, each as the eleven field texts of both layouts.
template <typename Write>
void ForEachGoods(const files::Progress& progress, Write&& write) {
  store::Database db;
  PrepareBulkConnection(db);
  store::ReadTransaction reading(db);
  const std::size_t total =
      static_cast<std::size_t>(db.QueryInt("select count(*) from goodsmaster").value_or(0));
  store::Statement statement = db.Query(
      "select a.barcode,a.goodsname,a.salesprice,a.importprice,a.averageimportprice,a.unit,"
      "a.class,a.isscalegoods,a.pluno,a.recordingdate,b.quantity from goodsmaster a left join "
      "inventory b on (a.barcode = b.barcode) order by a.barcode");
  std::vector<std::string> fields(11);
  std::size_t done = 0;
  while (statement.Step()) {
    fields[0] = statement.Text(0);
    fields[1] = statement.Text(1);
    fields[2] = common::Money(statement.Double(2));
    fields[3] = common::Money(statement.Double(3));
    fields[4] = common::Money(statement.Double(4));
    fields[5] = statement.Text(5);
    fields[6] = statement.Text(6);
    fields[7] = statement.Text(7);
    fields[8] = std::to_string(statement.Int(8));
    fields[9] = statement.Text(9);
    fields[10] = common::Money(statement.Double(10));
    write(fields);
    if (++done % kProgressStep == 0) files::ReportProgress(progress, done, total);
  }
  files::ReportProgress(progress, done, total);
}

}  // namespace

void PrepareBulkConnection(store::Database& db) {
  db.ExecScript("pragma cache_size = -65536; pragma mmap_size = 268435456");
}

std::size_t CountGoods() {
  store::Database db;
  return static_cast<std::size_t>(db.QueryInt("select count(*) from goodsmaster").value_or(0));
}

void ExportGoodsText(const std::filesystem::path& file, const files::Progress& progress) {
  files::TextFileWriter writer(file);
  ForEachGoods(progress, [&](const std::vector<std::string>& fields) {
    writer.Line(files::TextLine(fields, false));
  });
  writer.Commit();
}

void ExportGoodsSpreadsheet(const std::filesystem::path& file, const files::Progress& progress) {
  files::SpreadsheetWriter writer(file, kGoodsSheet,
                                  {{"条码", false},
                                   {"名称", false},
                                   {"售价", true},
                                   {"进价", true},
                                   {"平均进价", true},
                                   {"单位", false},
                                   {"类别", false},
                                   {"称重商品", false},
                                   {"PLU编号", true},
                                   {"录入时间", false},
                                   {"库存", true}});
  ForEachGoods(progress, [&](const std::vector<std::string>& fields) { writer.Row(fields); });
  writer.Commit();
}

}  // namespace backoffice
