#pragma once

// The timing machinery both benchmarks share: a scratch folder that cleans up after itself,
// and batches of calls timed in rounds, reported as the median per call.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Removes the generated databases however the run ends.
struct ScratchDir {
  explicit ScratchDir(std::filesystem::path dir) : path(std::move(dir)) {}
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir();
  std::filesystem::path path;
};

// One timed variant against one database. call(i) makes the i-th call, counted over all
// batches, so the batches walk on through a sample instead of repeating its start.
struct Case {
  using Call = std::function<std::int64_t(size_t)>;
  // source is anything with a label and the folder of its kasso.db.
  template <typename Source>
  Case(const Source& source, Call run)
      : label(source.label), dir(source.dir), call(std::move(run)) {}

  std::string label;
  std::filesystem::path dir;
  Call call;
  int iterations = 0;
  size_t calls_made = 0;
  std::vector<double> micros;  // per call, one entry per batch
  double median = 0;
};

inline constexpr int kRounds = 9;
inline constexpr double kBatchSeconds = 0.05;

double SecondsSince(std::chrono::steady_clock::time_point start);

// Sizes each case's batch to about kBatchSeconds after a warm-up that also fills the OS file
// cache, then runs every case once per round, so a slow moment of the machine hits all of
// them alike; fills micros and median.
void Measure(const std::vector<Case*>& cases);

// The sum of every call's result, printed so that no call is optimised away.
std::int64_t Checksum();

}  // namespace bench
