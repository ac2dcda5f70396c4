#pragma once

// The service library as the screens call it, under its own names: each call is one line into
// the look-ups or the rules below, opening kasso.db itself and answering the "nothing found"
// value (false, 0, "") when the file cannot be read. Screens may include this header; rules
// never do (they call the look-ups in core/lookups on their own connection).

#include <cstdint>
#include <optional>
#include <string>

#include "core/backoffice/goods/goods_files.h"
#include "core/devices/customer_display.h"
#include "core/files/progress.h"
#include "core/lookups/goods.h"

namespace servicelib {

// ---- Goods ----

using GoodsInfo = lookups::GoodsInfo;
std::optional<GoodsInfo> GetGoodsInfoFromBarcode(const std::string& barcode);
std::string GetGoodsnameFromBarcode(const std::string& barcode);
// The barcode of the first goods entered under that name; empty when none.
std::string GetBarcodeFromGoodsName(const std::string& name);
// Empties the combined-goods editor's work table (backoffice::CombinedGoodsClear).
void CombinedGoodsClear();
// Adds the goods of a workbook whose barcodes are new (backoffice::ImportGoodsSpreadsheet):
// all of them or, naming the first bad row, none. Throws as that does.
backoffice::GoodsImported GoodsDataImportFromExcel(const std::string& path,
                                                   const files::Progress& progress = {});

// ---- Members ----

std::string GetMemberName(const std::string& memberid);
double GetMemberDepositValue(const std::string& memberid);
double GetMemberPointsValue(const std::string& memberid);

// ---- Operators ----

std::string GetOperatorName(const std::string& workno);

// ---- Bills and till ----

// True when the open bill of that kind ("进货", "返厂", "盘点") has lines; an unreadable file
// counts as lines, so nothing is closed over a bill nobody could check.
bool IfUnConfirmedData(const std::string& kind);
// The next bill number (lookups::NextBillNumber); 1 when the file cannot be read.
std::int64_t GetTranNo();

// ---- Devices ----

// Opens the pole display named by the settings; false when there is none.
bool ExOpenPanel(devices::CustomerDisplayHandle& handle);

// ---- Window services ----

// The scheduled backup: a consistent copy of kasso.db in backup/ beside it.
void HandleBackUp();

}  // namespace servicelib
