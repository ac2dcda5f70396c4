#include <sqlite3.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/backoffice/goods/goods_files.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "goods_bench.h"
#include "synthetic.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kImportLines = 100'000;

// The i-th line of the import files: a goods the shop does not have yet.
std::vector<std::string> ImportCells(std::int64_t shop_goods, std::int64_t i) {
  return {SyntheticBarcode(shop_goods + i),
          "新品" + std::to_string(i + 1),
          "3.50",
          "2.10",
          "2.10",
          "个",
          "新品类",
          "否",
          "0",
          "12"};
}

// The same goods inserted by hand on an open connection: one transaction, one prepared
// statement per table, nothing checked; the connection set up as the import's is.
void BareInserts(const fs::path& db_file, std::int64_t shop_goods) {
  store::Database db(db_file);
  backoffice::PrepareBulkConnection(db);
  store::Transaction tx(db);
  store::Statement goods = db.Query(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,importprice,"
      "averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,givepoints,iscombined) "
      "values (?,?,'个','新品类',3.5,3.5,2.1,2.1,'2024-01-01 09:00:00','否',0,12,1,'否')");
  store::Statement stock = db.Query("insert into inventory (barcode,quantity) values (?,12)");
  for (std::int64_t i = 0; i < kImportLines; ++i) {
    const std::string barcode = SyntheticBarcode(shop_goods + i);
    goods.Reset();
    goods.BindAll(barcode, "新品" + std::to_string(i + 1));
    goods.Run();
    stock.Reset();
    stock.Bind(1, barcode);
    stock.Run();
  }
  tx.Commit();
}

void BareExportSelect(const fs::path& db_file) {
  store::Database db(db_file);
  backoffice::PrepareBulkConnection(db);
  store::Statement statement = db.Query(
      "select a.barcode,a.goodsname,a.salesprice,a.importprice,a.averageimportprice,a.unit,"
      "a.class,a.isscalegoods,a.pluno,a.recordingdate,b.quantity from goodsmaster a left join "
      "inventory b on (a.barcode = b.barcode) order by a.barcode");
  while (statement.Step()) {
  }
}

// Puts a fresh copy of the shop under kasso.db (a new file, so no open connection sees it).
void Restore(const fs::path& dir) {
  fs::copy_file(dir / "pristine.db", dir / "fresh.db", fs::copy_options::overwrite_existing);
  fs::rename(dir / "fresh.db", dir / "kasso.db");
}

}  // namespace

std::vector<Figure> MeasureGoodsFiles(const fs::path& dir, bool large) {
  std::vector<Figure> figures;
  const std::int64_t shop_goods = static_cast<std::int64_t>(backoffice::CountGoods());

  Figure text_export{"text export of every goods", {}, {}, large ? 3.0 : 0};
  text_export.op = MedianTiming([&] { backoffice::ExportGoodsText(dir / "export.txt"); });
  text_export.raw = MedianTiming([&] { BareExportSelect(dir / "kasso.db"); });
  figures.push_back(text_export);

  {
    files::TextFileWriter text(dir / "import.txt");
    files::SpreadsheetWriter sheet(dir / "import.xlsx", backoffice::kGoodsSheet,
                                   {{"条码", false},
                                    {"名称", false},
                                    {"售价", true},
                                    {"进价", true},
                                    {"平均进价", true},
                                    {"单位", false},
                                    {"类别", false},
                                    {"称重商品", false},
                                    {"PLU编号", true},
                                    {"库存", true}});
    for (std::int64_t i = 0; i < kImportLines; ++i) {
      const std::vector<std::string> cells = ImportCells(shop_goods, i);
      text.Line(files::TextLine(cells, false));
      sheet.Row(cells);
    }
    text.Commit();
    sheet.Commit();
  }
  fs::copy_file(dir / "kasso.db", dir / "pristine.db", fs::copy_options::overwrite_existing);
  auto restore = [&] { Restore(dir); };
  constexpr int kImportRuns = 3;
  const Timing bare =
      MedianTiming([&] { BareInserts(dir / "kasso.db", shop_goods); }, restore, kImportRuns);
  for (auto [what, text] : {std::pair{"text import of 100 000 new goods", true},
                            std::pair{"spreadsheet import of 100 000 new goods", false}}) {
    Figure figure{what, {}, bare, large ? 5.0 : 0};
    figure.op = MedianTiming(
        [&, text = text] {
          backoffice::GoodsImported imported =
              text ? backoffice::ImportGoodsText(dir / "import.txt")
                   : backoffice::ImportGoodsSpreadsheet(dir / "import.xlsx");
          if (imported.added != static_cast<size_t>(kImportLines)) {
            throw std::runtime_error("the import added " + std::to_string(imported.added));
          }
        },
        restore, kImportRuns);
    figures.push_back(figure);
  }
  Restore(dir);
  return figures;
}

}  // namespace bench
