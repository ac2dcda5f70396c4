#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/labels/label_fields.h"
#include "core/store/database.h"

namespace labels {

// More labels than any shop prints at once: a mistyped quantity, refused before anything is
// queued rather than spending minutes writing millions of rows.
inline constexpr std::int64_t kMaxLabelsPerRun = 100000;

// Throws common::UserError "标签数量过多..." for a run above kMaxLabelsPerRun.
void CheckRunSize(std::int64_t labels);

// What a label run prints: the source (kByBarcode, kByClass, kByPurchaseBill, kBySelection),
// the typed barcode or the chosen class, and the copies per goods item for barcode and class.
struct QueueRequest {
  std::string printkind;
  std::string barcode;
  std::string classname;
  int repeat = 1;
};

// Empties itemtemp and fills it with one row per label, in one transaction: the barcode
// `repeat` times; every goods item of the class `repeat` times each, in the order entered;
// every line of the purchase bill (import) or of the selection (goodsbatchselect) as many
// times as its quantity counted up (2.5 gives 3, 0 or less none). A run above
// kMaxLabelsPerRun is refused. Returns the number of
// labels queued. Throws common::UserError for an unknown source, store::DbError when the
// database fails; either way itemtemp is as it was.
int FillPrintQueue(store::Database& db, const QueueRequest& request);

// The queued labels in queue order, each with its goods columns.
std::vector<LabelGoods> LoadPrintQueue(store::Database& db);

// Goods columns of each barcode, in the given order (a barcode without goods keeps only itself).
std::vector<LabelGoods> LoadLabelGoods(store::Database& db,
                                       const std::vector<std::string>& barcodes);

// The distinct goods classes, for the class choosers. Throws store::DbError.
std::vector<std::string> ListGoodsClasses(store::Database& db);

}  // namespace labels
