#include "core/reports/query_definitions.h"

#include "core/store/journal.h"

namespace reports {
namespace {

using F = CellFormat;

constexpr const char* kJournalRange =
    " where a.transactiondatetime >= ?1 and a.transactiondatetime <= ?2";

// Numbers right-aligned, everything else centred: the three sales lists.
QueryColumn Sales(const char* title, int width, F format = F::kText) {
  return {title, width, format, format == F::kText ? Align::kCenter : Align::kRight};
}

// Every column centred: the other lists.
QueryColumn Centred(const char* title, int width, F format = F::kText) {
  return {title, width, format, Align::kCenter};
}

std::string MemberFilter(bool all_members) {
  return all_members ? " and ifnull(a.memberid,'') <> ''" : " and a.memberid = ?3";
}

}  // namespace

void PrepareRangeReading(store::Database& db) {
  db.ExecScript("pragma cache_size = -65536; pragma mmap_size = 1073741824");
}

QueryDefinition SalesJournalDefinition() {
  QueryDefinition definition;
  definition.columns = {Sales("单号", 50, F::kInteger),
                        Sales("类别", 80),
                        Sales("条码", 50),
                        Sales("名称", 200),
                        Sales("数量", 100, F::kThreeDecimals),
                        Sales("单价", 100, F::kTwoDecimals),
                        Sales("金额", 100, F::kTwoDecimals),
                        Sales("折扣率", 100, F::kThreeDecimals),
                        Sales("折扣金额", 100, F::kTwoDecimals),
                        Sales("抹零金额", 100, F::kTwoDecimals),
                        Sales("整单折让", 100, F::kTwoDecimals),
                        Sales("变价优惠", 100, F::kTwoDecimals),
                        Sales("交易时间", 150),
                        Sales("现金金额", 100, F::kTwoDecimals),
                        Sales("找零金额", 100, F::kTwoDecimals),
                        Sales("支票金额", 100, F::kTwoDecimals),
                        Sales("银联卡金额", 100, F::kTwoDecimals),
                        Sales("卡付金额", 100, F::kTwoDecimals),
                        Sales("会员名", 100)};
  definition.rows_sql = std::string(
                            "select a.transactionnumber,rtrim(a.transactiontype),rtrim(a.barcode),"
                            "rtrim(b.goodsname),a.quantity,a.price,"
                            "(ifnull(a.actualvalue,0)-ifnull(a.valuediscount,0)),a.discountrate,"
                            "a.discountvalue,a.wipevalue,a.valuediscount,a.pricediscount,"
                            "a.transactiondatetime,ifnull(a.paid,0)-ifnull(a.change,0),a.change,"
                            "ifnull(a.checkpaid,0),ifnull(a.unionpaid,0),a.cardpaid,"
                            "rtrim(c.membername) from transactiondetails a "
                            "left join goodsmaster b on (a.barcode = b.barcode) "
                            "left join membermaster c on (a.memberid = c.memberid)") +
                        kJournalRange;
  // Only the bill-total rows: their lines are already summed in them.
  definition.totals_sql = std::string(
                              "select sum(ifnull(a.quantity,0)),"
                              "sum(ifnull(a.actualvalue,0))-sum(ifnull(a.valuediscount,0)),"
                              "sum(ifnull(a.discountvalue,0)),sum(ifnull(a.wipevalue,0)),"
                              "sum(ifnull(a.valuediscount,0)),sum(ifnull(a.pricediscount,0)),"
                              "sum(ifnull(a.paid,0)-ifnull(a.change,0)),sum(ifnull(a.change,0)),"
                              "sum(ifnull(a.checkpaid,0)),sum(ifnull(a.unionpaid,0)),"
                              "sum(ifnull(a.cardpaid,0)) from transactiondetails a") +
                          kJournalRange + " and +a.transactiontype = ?4";
  definition.total_types = {store::kJournalBillTotal};
  definition.total_columns = {4, 6, 8, 9, 10, 11, 13, 14, 15, 16, 17};
  return definition;
}

QueryDefinition SalesByItemDefinition(CostBasis basis) {
  // The row's cost and the total's cost are the same sum, so the total of the profit column
  // is the sum of its rows also when no sold item has a purchase price.
  const std::string cost = basis == CostBasis::kAveragePrice
                               ? "sum(ifnull(b.averageimportprice,0)*ifnull(a.quantity,0))"
                               : "sum(ifnull(b.importprice,0)*a.quantity)";
  const std::string sums =
      "sum(a.quantity),sum(ifnull(a.actualvalue,0))-sum(ifnull(a.valuediscount,0)),"
      "sum(a.discountvalue),sum(a.valuediscount),sum(ifnull(a.pricediscount,0))," +
      cost + ",sum(a.actualvalue)-sum(ifnull(a.valuediscount,0))-" + cost;
  const std::string from =
      std::string(" from transactiondetails a left join goodsmaster b on (a.barcode = b.barcode)") +
      kJournalRange + " and +a.transactiontype = ?4";
  QueryDefinition definition;
  definition.columns = {Sales("条码", 120),
                        Sales("名称", 200),
                        Sales("数量", 100, F::kTwoDecimals),
                        Sales("金额", 100, F::kTwoDecimals),
                        Sales("折扣金额", 100, F::kTwoDecimals),
                        Sales("折让金额", 100, F::kTwoDecimals),
                        Sales("变价优惠", 100, F::kTwoDecimals),
                        Sales("成本", 100, F::kTwoDecimals),
                        Sales("毛利", 100, F::kTwoDecimals)};
  // Grouped by the journal's own barcode: a goods deleted since keeps its own row, with its
  // barcode and no name, and is never merged with another deleted goods.
  definition.rows_sql = "select rtrim(a.barcode),rtrim(b.goodsname)," + sums + from +
                        " group by a.barcode order by sum(a.actualvalue) desc";
  definition.totals_sql = "select " + sums + from;
  definition.total_columns = {2, 3, 4, 5, 6, 7, 8};
  definition.row_types = definition.total_types = {store::kJournalSale};
  return definition;
}

QueryDefinition ShiftDefinition() {
  QueryDefinition definition;
  definition.columns = {Sales("编号", 50, F::kInteger),
                        Sales("时间", 150),
                        Sales("收银员", 100),
                        Sales("客单数", 50, F::kInteger),
                        Sales("销售数量", 70, F::kTwoDecimals),
                        Sales("销售金额", 70, F::kTwoDecimals),
                        Sales("优惠金额", 70, F::kTwoDecimals),
                        Sales("抹零金额", 70, F::kTwoDecimals),
                        Sales("整单折让", 70, F::kTwoDecimals),
                        Sales("卡付金额", 70, F::kTwoDecimals),
                        Sales("现金金额", 70, F::kTwoDecimals),
                        Sales("支票金额", 70, F::kTwoDecimals),
                        Sales("银联卡金额", 70, F::kTwoDecimals),
                        Sales("备用金", 70, F::kTwoDecimals)};
  const char* range = " where a.shiftdate >= ?1 and a.shiftdate <= ?2";
  definition.rows_sql = std::string(
                            "select a.shiftid,a.shiftdate,rtrim(b.operatorname),a.billcount,"
                            "a.salesquantity,a.salesvalue,a.discountvalue,a.wipevalue,"
                            "a.valuediscount,a.cardpaid,a.cashpaid,ifnull(a.checkpaid,0),"
                            "ifnull(a.unionpaid,0),a.pettyvalue from shiftsum a "
                            "left join operatormaster b on (a.workno = b.workno)") +
                        range;
  definition.totals_sql = std::string(
                              "select sum(ifnull(a.billcount,0)),sum(ifnull(a.salesquantity,0)),"
                              "sum(ifnull(a.salesvalue,0)),sum(ifnull(a.discountvalue,0)),"
                              "sum(ifnull(a.wipevalue,0)),sum(ifnull(a.valuediscount,0)),"
                              "sum(ifnull(a.cardpaid,0)),sum(ifnull(a.cashpaid,0)),"
                              "sum(ifnull(a.checkpaid,0)),sum(ifnull(a.unionpaid,0)),"
                              "sum(ifnull(a.pettyvalue,0)) from shiftsum a") +
                          range;
  definition.total_columns = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  return definition;
}

QueryDefinition PurchaseDefinition() {
  QueryDefinition definition;
  definition.columns = {Centred("条码", 120),
                        Centred("名称", 200),
                        Centred("数量", 100, F::kTwoDecimals),
                        Centred("进价", 100, F::kTwoDecimals),
                        Centred("金额", 100, F::kTwoDecimals),
                        Centred("时间", 150)};
  const char* range = " where a.confirmdate >= ?1 and a.confirmdate <= ?2";
  // The amount booked; history from before amounts were kept has none: quantity × price.
  definition.rows_sql = std::string(
                            "select a.barcode,b.goodsname,a.quantity,a.importprice,"
                            "ifnull(a.importvalue,ifnull(a.quantity,0)*ifnull(a.importprice,0)),"
                            "a.confirmdate "
                            "from importbak a left join goodsmaster b on (a.barcode = b.barcode)") +
                        range + " order by a.confirmdate";
  definition.totals_sql =
      std::string(
          "select sum(ifnull(a.quantity,0)),"
          "sum(ifnull(a.importvalue,ifnull(a.quantity,0)*ifnull(a.importprice,0))) "
          "from importbak a") +
      range;
  definition.total_columns = {2, 4};
  return definition;
}

QueryDefinition SupplierReturnDefinition() {
  QueryDefinition definition;
  definition.columns = {Centred("条码", 120),
                        Centred("名称", 200),
                        Centred("数量", 100, F::kTwoDecimals),
                        Centred("价格", 100, F::kTwoDecimals),
                        Centred("金额", 100, F::kTwoDecimals),
                        Centred("时间", 150)};
  const char* range = " where a.confirmdate >= ?1 and a.confirmdate <= ?2";
  // "+a.barcode": sorting the range's rows is cheap; walking the whole table in barcode
  // order to avoid that sort is not.
  definition.rows_sql = std::string(
                            "select a.barcode,b.goodsname,a.quantity,ifnull(a.returnprice,0),"
                            "ifnull(a.returnvalue,ifnull(a.quantity,0)*ifnull(a.returnprice,0)),"
                            "a.confirmdate "
                            "from returnbak a left join goodsmaster b on (a.barcode = b.barcode)") +
                        range + " order by +a.barcode";
  definition.totals_sql =
      std::string(
          "select sum(ifnull(a.quantity,0)),"
          "sum(ifnull(a.returnvalue,ifnull(a.quantity,0)*ifnull(a.returnprice,0))) "
          "from returnbak a") +
      range;
  definition.total_columns = {2, 4};
  return definition;
}

QueryDefinition StocktakeDefinition() {
  QueryDefinition definition;
  definition.columns = {Centred("条码", 120),
                        Centred("名称", 200),
                        Centred("结存数量", 100, F::kThreeDecimals),
                        Centred("盘存数量", 100, F::kThreeDecimals),
                        Centred("盈亏数量", 100, F::kThreeDecimals),
                        Centred("验收时间", 150)};
  definition.rows_sql =
      "select a.barcode,b.goodsname,a.accquant,a.invquant,a.plquant,a.confirmdate "
      "from invcountbak a left join goodsmaster b on (a.barcode = b.barcode) "
      "where a.confirmdate = ?1 order by a.barcode";
  definition.totals_sql =
      "select sum(ifnull(a.accquant,0)),sum(ifnull(a.invquant,0)),sum(ifnull(a.plquant,0)) "
      "from invcountbak a where a.confirmdate = ?1";
  definition.total_columns = {2, 3, 4};
  return definition;
}

QueryDefinition DepositDefinition() {
  QueryDefinition definition;
  definition.columns = {Centred("会员编号", 120), Centred("会员名称", 120),
                        Centred("储值金额", 100, F::kTwoDecimals), Centred("验收时间", 150)};
  const char* range = " where a.confirmdate >= ?1 and a.confirmdate <= ?2";
  definition.rows_sql =
      std::string(
          "select a.memberid,b.membername,a.depositvalue,a.confirmdate "
          "from depositbak a left join membermaster b on (a.memberid = b.memberid)") +
      range + " order by +a.memberid";
  definition.totals_sql =
      std::string("select sum(ifnull(a.depositvalue,0)) from depositbak a") + range;
  definition.total_columns = {2};
  return definition;
}

QueryDefinition MemberSalesDefinition(bool all_members) {
  const std::string where =
      std::string(kJournalRange) + " and +a.transactiontype in (?4,?5)" + MemberFilter(all_members);
  QueryDefinition definition;
  definition.columns = {Centred("会员", 120), Centred("条码", 120), Centred("名称", 200),
                        Centred("数量", 100, F::kTwoDecimals),
                        Centred("金额", 100, F::kTwoDecimals)};
  definition.rows_sql =
      "select rtrim(c.membername),a.barcode,b.goodsname,sum(a.quantity),"
      "sum(ifnull(a.actualvalue,0))-sum(ifnull(a.valuediscount,0)) from transactiondetails a "
      "left join goodsmaster b on (a.barcode = b.barcode) "
      "left join membermaster c on (a.memberid = c.memberid)" +
      where + " group by c.membername,a.barcode,b.goodsname order by c.membername,a.barcode";
  definition.totals_sql =
      "select sum(ifnull(a.quantity,0)),"
      "sum(ifnull(a.actualvalue,0))-sum(ifnull(a.valuediscount,0)) from transactiondetails a" +
      where;
  definition.total_columns = {3, 4};
  definition.row_types = definition.total_types = {store::kJournalSale, store::kJournalReturn};
  return definition;
}

QueryDefinition PointsReturnDefinition(bool all_members) {
  const std::string where =
      " where a.transdate >= ?1 and a.transdate <= ?2" + MemberFilter(all_members);
  // What a rebate credited, in fen: points x rate rounded half away from zero to the fen, as
  // the booking rounds it. Both are stored to the fen, so the product is worked out exactly in
  // whole numbers; rows and total then add up to the balance's change.
  const std::string credited_fen =
      "((cast(round(a.rebaterate*100) as integer)*cast(round(a.deductionpoints*100) as integer)"
      "+case when a.rebaterate*a.deductionpoints < 0 then -50 else 50 end)/100)";
  QueryDefinition definition;
  definition.columns = {Centred("会员编号", 120),
                        Centred("会员名称", 120),
                        Centred("类别", 80),
                        Centred("条码", 120),
                        Centred("名称", 200),
                        Centred("数量", 100, F::kTwoDecimals),
                        Centred("返利比率", 100, F::kTwoDecimals),
                        Centred("金额", 100, F::kTwoDecimals),
                        Centred("抵扣积分", 100, F::kTwoDecimals),
                        Centred("操作员", 100),
                        Centred("时间", 150)};
  definition.rows_sql =
      "select rtrim(a.memberid),rtrim(b.membername),rtrim(a.giftrebate),rtrim(a.giftbarcode),"
      "rtrim(c.goodsname),a.giftquantity,a.rebaterate," +
      credited_fen +
      "/100.0,a.deductionpoints,rtrim(d.operatorname),a.transdate from pointsreturn a "
      "left join membermaster b on (a.memberid = b.memberid) "
      "left join goodsmaster c on (a.giftbarcode = c.barcode) "
      "left join operatormaster d on (a.workno = d.workno)" +
      where;
  definition.totals_sql = "select sum(ifnull(a.giftquantity,0)),sum(" + credited_fen + ")/100.0," +
                          "sum(a.deductionpoints) from pointsreturn a" + where;
  definition.total_columns = {5, 7, 8};
  return definition;
}

}  // namespace reports
