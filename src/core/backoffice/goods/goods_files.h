#pragma once

// The goods' own files: the text layout (no heading line; barcode, name, sales price, import
// price, average import price, unit, class, scale flag, PLU number, recording date, stock) and
// the spreadsheet sheet "商品信息" with the same columns under their titles. Imports add the
// goods whose barcode is new and skip the others; they check every line first and write all of
// a file or nothing.

#include <cstddef>
#include <filesystem>

#include "core/files/progress.h"
#include "core/store/database.h"

namespace backoffice {

inline constexpr const char* kGoodsSheet = "商品信息";

// Settings of a connection that reads or writes every goods at once: a page cache that holds
// the goods and stock tables and their indexes (64 MB), and reading through a memory map, so
// pages are not read from the file again and again. Durability is unchanged.
void PrepareBulkConnection(store::Database& db);

// How many goods an export writes, to decide on a progress box. Throws store::DbError.
std::size_t CountGoods();

// Every goods in barcode order, replacing the file only once it is whole. Progress counts
// goods. Throws common::UserError (file), store::DbError and files::Cancelled.
void ExportGoodsText(const std::filesystem::path& file, const files::Progress& progress = {});
void ExportGoodsSpreadsheet(const std::filesystem::path& file,
                            const files::Progress& progress = {});

struct GoodsImported {
  std::size_t added = 0;
  std::size_t skipped = 0;  // barcodes already stored (or earlier in the same file)
};

// Text lines of ten fields (barcode, name, sales price, import price, average import price,
// unit, class, scale flag, PLU number, opening stock); a line of the export's own layout, with
// the recording date in the tenth place, takes its stock from the eleventh. Empty fields take
// the editor's defaults. Throws common::UserError "第 N 行: ..." naming the first bad line, or
// the file's own error, with nothing written; store::DbError; files::Cancelled.
GoodsImported ImportGoodsText(const std::filesystem::path& file,
                              const files::Progress& progress = {});

// The sheet "商品信息" (or a workbook's only sheet) with the export's column titles: "条码" and
// "名称" are required, "售价", "进价", "平均进价", "单位", "类别", "称重商品", "PLU编号" and "库存"
// (the opening stock) are read when present; other columns are ignored. Same rules and
// errors as the text import.
GoodsImported ImportGoodsSpreadsheet(const std::filesystem::path& file,
                                     const files::Progress& progress = {});

}  // namespace backoffice
