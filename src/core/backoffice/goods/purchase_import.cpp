#include <algorithm>
#include <string>
#include <vector>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/common/error.h"
#include "core/files/import_check.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using files::RefuseLine;
using lookups::RoundTo;
using lookups::TillNumber;

constexpr std::size_t kProgressStep = 512;

// One line of a purchase file as its cells give it.
struct PurchaseCells {
  int line = 0;
  std::string barcode;
  std::string quantity;
  std::string amount;
  bool complete = true;  // false: the text line has fewer than three fields
};

double CheckedNumber(const std::string& text, int line, TillNumber kind, const char* message) {
  const double value = files::ImportNumber(text, line, message);
  if (!lookups::WithinTillRange(value, kind)) RefuseLine(line, message);
  return RoundTo(value, 2);
}

// Adds the lines whose barcode is a goods to the open bill, in one transaction: a refused line
// leaves the bill as it was. Lines of other barcodes (a heading line among them) are skipped
// before their numbers are read.
BillImported Write(const std::vector<PurchaseCells>& cells, const files::Progress& progress) {
  store::Database db;
  store::Transaction tx(db);
  store::Statement goods = db.Query("select 1 from goodsmaster where barcode = ?");
  // A line of an older file may have no amount: its amount is quantity × price.
  store::Statement line = db.Query(
      "select ifnull(quantity,0),ifnull(importprice,0),"
      "ifnull(importvalue,ifnull(quantity,0)*ifnull(importprice,0)) from import where barcode = ?");
  store::Statement merge =
      db.Query("update import set quantity = ?,importprice = ?,importvalue = ? where barcode = ?");
  store::Statement insert =
      db.Query("insert into import (barcode,quantity,importprice,importvalue) values (?,?,?,?)");
  BillImported result;
  std::size_t done = 0;
  for (const PurchaseCells& c : cells) {
    if (++done % kProgressStep == 0) files::ReportProgress(progress, done, cells.size());
    const std::string barcode = files::Trimmed(c.barcode);
    goods.Reset();
    goods.Bind(1, barcode);
    const bool known = !barcode.empty() && goods.Step();
    goods.Reset();
    if (!known) {
      ++result.skipped;
      continue;
    }
    if (!c.complete) RefuseLine(c.line, "进货单字段不足");
    const double quantity = CheckedNumber(c.quantity, c.line, TillNumber::kQuantity, "数量有误");
    if (quantity < 0) RefuseLine(c.line, "进货数量必须>=0");
    const double amount = CheckedNumber(c.amount, c.line, TillNumber::kAmount, "金额有误");
    if (amount < 0) RefuseLine(c.line, "金额不能小于0");
    // The amount is what the line cost; with no quantity it would price the goods at nothing.
    if (quantity == 0 && amount != 0) RefuseLine(c.line, "数量为0时不能由金额计算单价");
    line.Reset();
    line.Bind(1, barcode);
    const bool on_bill = line.Step();
    const double total_quantity = on_bill ? RoundTo(line.Double(0) + quantity, 2) : quantity;
    const double total_amount = on_bill ? RoundTo(line.Double(2) + amount, 2) : amount;
    const double kept_price = on_bill ? line.Double(1) : 0;
    line.Reset();
    if (total_quantity == 0 && total_amount != 0) {
      RefuseLine(c.line, "数量为0时不能由金额计算单价");
    }
    // Merged lines add quantities and amounts; the price follows from them.
    const double price =
        total_quantity == 0 ? kept_price : RoundTo(total_amount / total_quantity, 2);
    if (!lookups::WithinTillRange(price, TillNumber::kAmount) ||
        !lookups::WithinTillRange(total_amount, TillNumber::kAmount)) {
      RefuseLine(c.line, "金额有误");
    }
    if (on_bill) {
      merge.Reset();
      merge.BindAll(total_quantity, price, total_amount, barcode);
      merge.Run();
      ++result.merged;
      continue;
    }
    insert.Reset();
    insert.BindAll(barcode, quantity, price, amount);
    insert.Run();
    ++result.added;
  }
  files::ReportProgress(progress, cells.size(), cells.size());
  tx.Commit();
  return result;
}

}  // namespace

BillImported ImportPurchaseText(const std::filesystem::path& file,
                                const files::Progress& progress) {
  std::vector<PurchaseCells> cells;
  for (const files::TextRecord& record : files::ReadTextRecords(file, progress)) {
    std::vector<std::string> f = record.fields;
    const bool complete = f.size() >= 3;
    f.resize(std::max<std::size_t>(f.size(), 3));
    cells.push_back({record.line, f[0], f[1], f[2], complete});
  }
  return Write(cells, progress);
}

BillImported ImportPurchaseExcel(const std::filesystem::path& file,
                                 const files::Progress& progress) {
  const files::Sheet sheet =
      files::ReadSpreadsheet(file, kPurchaseSheet, {"条码", "数量", "金额"}, progress);
  const int barcode = sheet.Column("条码");
  const int quantity = sheet.Column("数量");
  const int amount = sheet.Column("金额");
  if (barcode < 0 || quantity < 0 || amount < 0) {
    throw kasso::UserError("进货单导入文件中必须包括: 条码,数量,金额");
  }
  std::vector<PurchaseCells> cells;
  for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
    const std::vector<std::string>& row = sheet.rows[i];
    if (files::Trimmed(row[barcode]).empty()) continue;
    cells.push_back({static_cast<int>(i) + 2, row[barcode], row[quantity], row[amount]});
  }
  return Write(cells, progress);
}

}  // namespace backoffice
