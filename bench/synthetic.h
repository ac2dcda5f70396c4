#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace bench {

struct SyntheticSize {
  std::int64_t goods = 0;
  std::int64_t journal_rows = 0;  // 0, or at least 2 (one sold line and its bill total)
  int journal_days = 365;         // the days the journal's dates spread over
};

// Barcode of the i-th synthetic goods item (0-based): 13 digits with an EAN check digit,
// scattered over the key range the way real barcodes are rather than counting up.
std::string SyntheticBarcode(std::int64_t index);

// Creates directory/kasso.db as a new database (schema, indexes and seed rows of a new shop)
// holding `goods` goods with inventory rows and `journal_rows` rows of transactiondetails:
// bills of one to seven "销售" lines and a "销售总计" row, numbered upwards, dated evenly over
// journal_days days from 2024-01-01 (one year unless said otherwise). Throws DbError when the file
// exists or cannot be written.
std::filesystem::path CreateSyntheticDatabase(const std::filesystem::path& directory,
                                              SyntheticSize size);

}  // namespace bench
