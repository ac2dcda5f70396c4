// goods_bench: does the goods list open at once in a shop of 200 000 goods, and do its search,
// export and imports keep pace? Each figure is printed beside the raw SQLite work it cannot
// avoid (the bare select stepped to the end; the bare inserts in one transaction), measured in
// the same run on the same file.

#include "goods_bench.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/backoffice/goods/goods_master.h"
#include "core/reports/search_list.h"
#include "core/store/database.h"
#include "measure.h"
#include "synthetic.h"
#include "ui/backoffice/goods/GoodsListModel.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPaintedRows = 40;  // about a screenful
constexpr const char* kClass = "饮料";

std::int64_t g_sink = 0;

// A select prepared and stepped to its end without reading a column, with one text bound when
// given: what SQLite must do before any row can be shown.
void BareSelect(sqlite3* db, const char* sql, const std::optional<std::string>& text) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db));
  }
  std::unique_ptr<sqlite3_stmt, store::StatementDeleter> statement(raw);
  if (text) sqlite3_bind_text(raw, 1, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
  while (sqlite3_step(raw) == SQLITE_ROW) ++g_sink;
}

// The list's selects: every goods' rowid, barcode and name, then the first page of full rows.
constexpr const char* kKeysSql = "select rowid,barcode,goodsname from goodsmaster";
constexpr const char* kPageSql =
    "select a.rowid,a.barcode,a.goodsname,a.unit,a.class,a.salesprice,a.memberprice,"
    "a.importprice,a.averageimportprice,b.quantity,a.iniinventory,a.isscalegoods,a.pluno,"
    "a.recordingdate,a.givepoints from goodsmaster a left join inventory b on "
    "(a.barcode = b.barcode) where a.rowid in (select rowid from goodsmaster";

// The list's model filled, then the cells of the first screenful formatted as the view asks.
void FillAndPaint(ui::GoodsListModel& model, std::vector<backoffice::GoodsListEntry> entries) {
  model.SetEntries(std::move(entries));
  for (int row = 0; row < std::min(kPaintedRows, model.rowCount()); ++row) {
    for (int column = 0; column < ui::GoodsListModel::kColumnCount; ++column) {
      g_sink += model.data(model.index(row, column)).toString().size();
    }
  }
}

using bench::Figure;

bool RunShop(const fs::path& dir, std::int64_t goods) {
  const Clock::time_point start = Clock::now();
  bench::CreateSyntheticDatabase(dir, {goods, 0});
  std::printf("generated %lld goods in %.2f s\n", static_cast<long long>(goods),
              bench::SecondsSince(start));
  store::SetDataDirectory(dir);
  store::Database open(dir / "kasso.db");
  ui::GoodsListModel model(nullptr);
  const bool large = goods >= 100'000;
  std::vector<Figure> figures;

  Figure list{"open the list for 全部 (query, model, paint)", {}, {}, large ? 0.3 : 0};
  list.op =
      bench::MedianTiming([&] { FillAndPaint(model, backoffice::LoadGoodsList(std::nullopt)); });
  list.raw = bench::MedianTiming([&] {
    BareSelect(open.handle(), (std::string(kKeysSql) + " order by rowid").c_str(), std::nullopt);
    BareSelect(open.handle(), (std::string(kPageSql) + " order by rowid limit 256)").c_str(),
               std::nullopt);
  });
  figures.push_back(list);

  Figure one{"switch to one class (1 of 8)", {}, {}, large ? 0.3 : 0};
  one.op = bench::MedianTiming([&] { FillAndPaint(model, backoffice::LoadGoodsList(kClass)); });
  one.raw = bench::MedianTiming([&] {
    BareSelect(open.handle(), (std::string(kKeysSql) + " where class = ? order by rowid").c_str(),
               kClass);
    BareSelect(open.handle(),
               (std::string(kPageSql) + " where class = ? order by rowid limit 256)").c_str(),
               kClass);
  });
  figures.push_back(one);

  // "下一个" from the first row for a name near the end of the whole list.
  FillAndPaint(model, backoffice::LoadGoodsList(std::nullopt));
  const std::string target = "商品" + std::to_string(goods - 3);
  Figure search{"search 下一个 for a name near the end", {}, {}, large ? 0.1 : 0};
  reports::SearchRows rows{static_cast<size_t>(model.SearchRowCount()), [&](size_t row) {
                             return model.SearchText(static_cast<int>(row),
                                                     ui::GoodsListModel::kName);
                           }};
  search.op = bench::MedianTiming([&] {
    g_sink += static_cast<std::int64_t>(
        reports::SearchList(rows, "名称", target, reports::SearchFrom::kNext, 0));
  });
  search.raw = bench::MedianTiming([&] {
    BareSelect(open.handle(), "select rowid from goodsmaster where instr(goodsname, ?) > 0",
               target);
  });
  figures.push_back(search);

  for (const Figure& f : bench::MeasureGoodsFiles(dir, large)) figures.push_back(f);
  store::SetDataDirectory({});
  return bench::PrintFigures(std::to_string(goods) + " goods", figures);
}

}  // namespace

int main(int argc, char** argv) {
  return bench::RunInScratch(
      argc, argv, "tillwise_goods_bench",
      [](const fs::path& scratch) {
        const bool small = RunShop(scratch / "small", 200);
        return RunShop(scratch / "large", 200'000) && small;
      },
      g_sink);
}
