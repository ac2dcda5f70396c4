#pragma once

// The stocktake: one open count in the work table invcount, one row per goods that is not
// combined (book quantity, counted quantity, difference), verified ("验收") in one transaction
// that corrects the stock by each difference, copies the rows into invcountbak under one
// confirmation time and empties the count.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/files/progress.h"

namespace backoffice {

struct StocktakeRow {
  std::string barcode;
  std::string goodsname;  // empty when the goods no longer exists
  std::string unit;
  double book = 0;        // accquant: the stock when the count was generated
  double counted = 0;     // invquant
  double difference = 0;  // plquant = counted - book
};

// When no count is open, starts one with every goods that is not combined, counted = book.
// An open count is left as it is. True when a count was started. Refused, open count or not,
// with common::UserError "有未验收的进货单,请处理后盘点" or "有未验收的返厂单,请处理后盘点" while a
// purchase or return bill waits. Throws store::DbError.
bool GenerateStocktake();

// Throws away the open count and starts a new one; refused as GenerateStocktake is. Throws
// store::DbError.
void RegenerateStocktake();

// The open count in barcode order. Throws store::DbError.
std::vector<StocktakeRow> LoadStocktake();
// One row of the open count; nullopt when the barcode is not on it. Throws store::DbError.
std::optional<StocktakeRow> LoadStocktakeRow(const std::string& barcode);

struct CountLine {
  std::string goodsname;
  std::string quantity;  // the count so far; empty when the goods is not on the count
};

// What the count entry shows for a barcode. Throws common::UserError "此商品不存在" or
// "组合商品不能盘点,请盘点下线商品", and store::DbError.
CountLine LoadCount(const std::string& barcode);

// Sets the counted quantity (to three decimals) and the difference of one goods. Throws
// common::ValidationError naming "barcode" ("条码不能为空", "组合商品不能盘点,请盘点下线商品",
// "此商品不存在", "此商品不在盘点单中") or "quantity" ("请录入数量", "数量录入有误",
// "盘点数量必须大于或等于0") with nothing written, and store::DbError.
void SaveCount(const std::string& barcode, const std::string& quantity);

// Corrects the stock of every goods on the count that is not combined by its difference, so
// sales and bills booked since the count was generated stay in the stock; then moves the rows
// to the history under one confirmation time. Throws store::DbError with nothing changed and
// the count still open.
void VerifyStocktake();

inline constexpr const char* kStocktakeSheet = "商品信息";

struct CountsImported {
  std::size_t counted = 0;  // rows of the file applied to the count
  std::size_t skipped = 0;  // rows whose barcode is not on the count
};

// Text lines "barcode,quantity": every goods the file does not name counts 0, then each line
// sets its goods' count. All or nothing: a bad line (a number that is no count) throws
// common::UserError "第 N 行: ..." and leaves every count as it was. Also store::DbError and
// files::Cancelled.
CountsImported ImportCountsText(const std::filesystem::path& file,
                                const files::Progress& progress = {});
// The sheet "商品信息" (or a workbook's only sheet) with the columns "条码" and "盘存数量": sets
// the count of each goods named; goods not named keep their counts. Same errors.
CountsImported ImportCountsExcel(const std::filesystem::path& file,
                                 const files::Progress& progress = {});

// How many rows the open count has, to decide on a progress box. Throws store::DbError.
std::size_t CountStocktakeRows();

// The open count in barcode order: barcode, name, unit, book, counted and difference ("%.2f"),
// as text lines without a heading, or as the sheet "商品信息" under the titles "条码", "名称",
// "单位", "结存数量", "盘存数量", "盈亏数量". The file takes its name only once it is whole.
// Throws common::UserError (file), store::DbError and files::Cancelled.
void ExportStocktakeText(const std::filesystem::path& file, const files::Progress& progress = {});
void ExportStocktakeSpreadsheet(const std::filesystem::path& file,
                                const files::Progress& progress = {});

}  // namespace backoffice
