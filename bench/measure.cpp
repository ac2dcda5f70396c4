#include "measure.h"

#include <algorithm>

#include "core/store/database.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
std::int64_t g_sink = 0;

double TimeBatch(Case& c) {
  store::SetDataDirectory(c.dir);
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < c.iterations; ++i) g_sink += c.call(c.calls_made++);
  return SecondsSince(start) * 1e6 / c.iterations;
}

void Calibrate(Case& c) {
  store::SetDataDirectory(c.dir);
  int calls = 0;
  const Clock::time_point start = Clock::now();
  for (; calls < 20 || SecondsSince(start) < 0.02; ++calls) g_sink += c.call(c.calls_made++);
  const double per_call = SecondsSince(start) / calls;
  c.iterations = std::clamp(static_cast<int>(kBatchSeconds / per_call), 20, 1'000'000);
}

}  // namespace

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Measure(const std::vector<Case*>& cases) {
  for (Case* c : cases) Calibrate(*c);
  for (int round = 0; round < kRounds; ++round) {
    for (Case* c : cases) c->micros.push_back(TimeBatch(*c));
  }
  for (Case* c : cases) {
    std::vector<double> sorted = c->micros;
    std::sort(sorted.begin(), sorted.end());
    c->median = sorted[sorted.size() / 2];
  }
}

std::int64_t Checksum() { return g_sink; }

}  // namespace bench
