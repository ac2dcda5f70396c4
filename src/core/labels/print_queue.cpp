#include "core/labels/print_queue.h"

#include <algorithm>
#include <cstdint>

#include "core/common/error.h"
#include "core/labels/label_template.h"

namespace labels {
namespace {

// Numbers 0, 1, 2, ... below a bound. A label is queued for each number below the copy count
// or the line's quantity, which counts a quantity up to the next whole label.
constexpr const char* kCounter =
    "with recursive copy(k) as (select 0 union all select k + 1 from copy where k + 1 < ?) ";

// Labels a work table asks for: each line's quantity counted up, lines of 0 or less none.
// The table name comes from a fixed choice in FillPrintQueue, never from input.
std::int64_t CountedLines(store::Database& db, const std::string& table, double& largest) {
  store::Statement sums = db.Query(
      "select ifnull(sum(case when quantity > 0 then cast(quantity as integer) + "
      "(quantity > cast(quantity as integer)) else 0 end),0), ifnull(max(quantity),0) from " +
      table);
  sums.Step();
  largest = sums.Double(1);
  return sums.Int(0);
}

}  // namespace

int FillPrintQueue(store::Database& db, const QueueRequest& request) {
  const std::string& kind = request.printkind;
  store::Transaction tx(db);
  db.Exec("delete from itemtemp");
  if (kind == kByBarcode) {
    CheckRunSize(request.repeat);
    db.Exec(std::string(kCounter) +
                "insert into itemtemp (barcode) select ? from copy where copy.k < ?",
            request.repeat, request.barcode, request.repeat);
  } else if (kind == kByClass) {
    const std::int64_t goods =
        db.QueryInt("select count(*) from goodsmaster where class = ?", request.classname)
            .value_or(0);
    CheckRunSize(goods * std::max(request.repeat, 0));
    db.Exec(std::string(kCounter) +
                "insert into itemtemp (barcode) select g.barcode from goodsmaster g, copy "
                "where g.class = ? and copy.k < ? order by g.rowid, copy.k",
            request.repeat, request.classname, request.repeat);
  } else if (kind == kByPurchaseBill || kind == kBySelection) {
    const std::string table = kind == kByPurchaseBill ? "import" : "goodsbatchselect";
    double largest = 0;
    CheckRunSize(CountedLines(db, table, largest));
    db.Exec(std::string(kCounter) + "insert into itemtemp (barcode) select w.barcode from " +
                table + " w join copy on copy.k < w.quantity order by w.rowid, copy.k",
            largest);
  } else {
    throw common::UserError("未知的打印方式 " + kind);
  }
  const auto count = db.QueryInt("select count(*) from itemtemp").value_or(0);
  tx.Commit();
  return static_cast<int>(count);
}

void CheckRunSize(std::int64_t labels) {
  if (labels > kMaxLabelsPerRun) {
    throw common::UserError("标签数量过多,一次最多打印" + std::to_string(kMaxLabelsPerRun) + "张");
  }
}

std::vector<LabelGoods> LoadLabelGoods(store::Database& db,
                                       const std::vector<std::string>& barcodes) {
  std::vector<LabelGoods> labels;
  labels.reserve(barcodes.size());
  store::ReadTransaction read(db);
  store::Statement goods = db.Query(
      "select goodsname,unit,salesprice,class,isscalegoods,pluno from goodsmaster "
      "where barcode = ? order by rowid limit 1");
  for (const std::string& barcode : barcodes) {
    LabelGoods label;
    label.barcode = barcode;
    goods.Reset();
    goods.BindAll(barcode);
    if (goods.Step()) {
      label.goodsname = goods.Text(0);
      label.unit = goods.Text(1);
      label.salesprice = goods.Double(2);
      label.goodsclass = goods.Text(3);
      label.isscalegoods = goods.Text(4);
      label.pluno = goods.Int(5);
    }
    labels.push_back(std::move(label));
  }
  goods.Reset();
  return labels;
}

std::vector<LabelGoods> LoadPrintQueue(store::Database& db) {
  std::vector<std::string> barcodes;
  store::Statement queue = db.Query("select barcode from itemtemp order by rowid");
  while (queue.Step()) barcodes.push_back(queue.Text(0));
  return LoadLabelGoods(db, barcodes);
}

std::vector<std::string> ListGoodsClasses(store::Database& db) {
  std::vector<std::string> classes;
  store::Statement rows = db.Query("select distinct class from goodsmaster order by class");
  while (rows.Step()) classes.push_back(rows.Text(0));
  return classes;
}

}  // namespace labels
