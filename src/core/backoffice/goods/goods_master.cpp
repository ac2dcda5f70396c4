#include "core/backoffice/goods/goods_master.h"

#include <algorithm>

#include "core/common/format.h"
#include "core/lookups/open_or.h"
#include "core/settings/settings.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

constexpr const char* kRowsSelect =
    "select a.rowid,a.barcode,a.goodsname,a.unit,a.class,a.salesprice,a.memberprice,"
    "a.importprice,a.averageimportprice,b.quantity,a.iniinventory,a.isscalegoods,a.pluno,"
    "a.recordingdate,a.givepoints from goodsmaster a left join inventory b on "
    "(a.barcode = b.barcode) where a.rowid in (";

GoodsListRow ReadRow(const store::Statement& statement) {
  GoodsListRow row;
  row.rowid = statement.Int(0);
  row.barcode = statement.Text(1);
  row.goodsname = statement.Text(2);
  row.unit = statement.Text(3);
  row.class_name = statement.Text(4);
  row.salesprice = statement.Double(5);
  row.memberprice = statement.Double(6);
  row.importprice = statement.Double(7);
  row.averageimportprice = statement.Double(8);
  row.quantity = statement.Double(9);
  row.iniinventory = statement.Double(10);
  row.isscalegoods = statement.Text(11);
  row.pluno = statement.Int(12);
  row.recordingdate = statement.Text(13);
  row.givepoints = statement.Int(14) != 0;
  return row;
}

std::vector<std::string> SortedTexts(store::Statement statement) {
  std::vector<std::string> texts;
  while (statement.Step()) {
    if (!statement.IsNull(0) && !statement.Text(0).empty()) texts.push_back(statement.Text(0));
  }
  std::sort(texts.begin(), texts.end());
  return texts;
}

}  // namespace

std::string QuantityText(double value) {
  std::string text = kasso::Fixed(value, 3);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.ends_with('.')) text.pop_back();
  return text;
}

std::vector<std::string> LoadGoodsClasses() {
  store::Database db;
  store::Statement statement = db.Query("select distinct class from goodsmaster");
  std::vector<std::string> classes;
  while (statement.Step()) {
    // A goods without a class cannot be picked out by one; "全部" shows it.
    if (!statement.IsNull(0)) classes.push_back(statement.Text(0));
  }
  return classes;
}

std::vector<GoodsListEntry> LoadGoodsList(const std::optional<std::string>& class_name) {
  store::Database db;
  store::ReadTransaction reading(db);
  std::vector<GoodsListEntry> entries;
  if (!class_name) {
    entries.reserve(
        static_cast<size_t>(db.QueryInt("select count(*) from goodsmaster").value_or(0)));
  }
  store::Statement statement =
      class_name ? db.Query(
                       "select rowid,barcode,goodsname from goodsmaster where class = ? "
                       "order by rowid",
                       *class_name)
                 : db.Query("select rowid,barcode,goodsname from goodsmaster order by rowid");
  while (statement.Step()) {
    entries.push_back({statement.Int(0), statement.Text(1), statement.Text(2)});
  }
  return entries;
}

std::vector<GoodsListRow> LoadGoodsRows(const std::vector<std::int64_t>& rowids) {
  std::vector<GoodsListRow> rows(rowids.size());
  if (rowids.empty()) return rows;
  store::Database db;
  store::ForEachRowOf(db, kRowsSelect, rowids, [&](const store::Statement& row, size_t at) {
    // A goods with two stock rows shows the first.
    if (rows[at].rowid == 0) rows[at] = ReadRow(row);
  });
  return rows;
}

void DeleteGoods(const std::string& barcode) {
  store::Database db;
  store::Transaction tx(db);
  db.Exec("delete from goodsmaster where barcode = ?", barcode);
  db.Exec("delete from inventory where barcode = ?", barcode);
  db.Exec("delete from combinedgoods where barcode = ?", barcode);
  tx.Commit();
}

bool GoodsBarcodeExists(const std::string& barcode) {
  return lookups::OpenOr(false, [&](store::Database& db) {
    return db.HasRow("select 1 from goodsmaster where barcode = ?", barcode);
  });
}

namespace {

std::optional<GoodsFields> ReadGoodsFields(store::Database& db, const std::string& barcode) {
  store::Statement statement = db.Query(
      "select barcode,goodsname,unit,class,salesprice,importprice,isscalegoods,pluno,"
      "iniinventory,memberprice,givepoints,iscombined from goodsmaster where barcode = ?",
      barcode);
  if (!statement.Step()) return std::nullopt;
  GoodsFields fields;
  fields.barcode = statement.Text(0);
  fields.goodsname = statement.Text(1);
  fields.unit = statement.Text(2);
  fields.class_name = statement.Text(3);
  fields.salesprice = kasso::Money(statement.Double(4));
  fields.importprice = kasso::Money(statement.Double(5));
  fields.isscalegoods = statement.Text(6);
  fields.pluno = std::to_string(statement.Int(7));
  fields.iniinventory = QuantityText(statement.Double(8));
  fields.memberprice = kasso::Money(statement.Double(9));
  fields.givepoints = statement.Int(10) != 0;
  fields.iscombined = statement.Text(11);
  return fields;
}

}  // namespace

std::optional<GoodsFields> LoadGoodsForEdit(const std::string& barcode) {
  store::Database db;
  std::optional<GoodsFields> fields = ReadGoodsFields(db, barcode);
  // Components left by an earlier edit would be saved with this goods once it is switched to
  // combined. A goods saved as not combined keeps its earlier rows, which come back here.
  store::Transaction tx(db);
  db.Exec("delete from combinedgoodstemp");
  db.Exec(
      "insert into combinedgoodstemp (underlyingcode,quantity) select underlyingcode,quantity "
      "from combinedgoods where barcode = ?",
      barcode);
  tx.Commit();
  return fields;
}

std::string SuggestPluNumber() {
  std::int64_t highest = lookups::OpenOr<std::int64_t>(0, [](store::Database& db) {
    return db
        .QueryInt("select max(pluno) from goodsmaster where isscalegoods = ?", store::ToYesNo(true))
        .value_or(0);
  });
  return std::to_string(highest + 1);
}

std::optional<ItemLibraryEntry> LookUpItemLibrary(const std::string& barcode) {
  return lookups::OpenOr<std::optional<ItemLibraryEntry>>(
      std::nullopt, [&](store::Database& db) -> std::optional<ItemLibraryEntry> {
        store::Statement statement =
            db.Query("select goodsname,unit from itemlibrary where barcode = ?", barcode);
        if (!statement.Step()) return std::nullopt;
        return ItemLibraryEntry{statement.Text(0), statement.Text(1)};
      });
}

bool ItemLibraryEnabled() {
  return lookups::OpenOr(
      false, [](store::Database& db) { return settings::LoadSettings(db).item_library; });
}

std::vector<std::string> LoadUnitChoices() {
  store::Database db;
  return SortedTexts(db.Query("select distinct unit from goodsmaster"));
}

std::vector<std::string> LoadClassChoices() {
  store::Database db;
  return SortedTexts(db.Query("select distinct class from goodsmaster"));
}

}  // namespace backoffice
