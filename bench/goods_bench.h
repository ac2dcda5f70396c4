#pragma once

// What the two halves of goods_bench share: timing by wall clock and by CPU time (the machine
// is shared, so the CPU time tells the work apart from waiting for a core), and the figures of
// the goods files half.

#include <filesystem>
#include <functional>
#include <vector>

#include "core/store/database.h"

namespace bench {

struct Timing {
  double wall = 0;  // seconds
  double cpu = 0;   // seconds of this process
};

// The median of runs of body; prepare runs untimed before each.
Timing MedianTiming(const std::function<void()>& body, const std::function<void()>& prepare = {},
                    int runs = 5);

struct GoodsFigure {
  const char* what;
  Timing op;
  Timing raw;
  double target = 0;  // seconds; 0 for none
};

// The text export of every goods and the text and spreadsheet imports of 100 000 new goods
// lines, against the shop in dir; targets apply when large.
std::vector<GoodsFigure> MeasureGoodsFiles(const std::filesystem::path& dir, bool large);

}  // namespace bench
