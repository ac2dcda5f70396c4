#pragma once

// The goods files half of goods_bench.

#include <filesystem>
#include <functional>
#include <vector>

#include "figures.h"

namespace bench {

// The text export of every goods and the text and spreadsheet imports of 100 000 new goods
// lines, against the shop in dir; targets apply when large.
std::vector<Figure> MeasureGoodsFiles(const std::filesystem::path& dir, bool large);

}  // namespace bench
