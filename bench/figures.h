#pragma once

// What the back-office benchmarks share: whole operations timed by wall clock and by CPU time
// (the machine may be shared, so the CPU time tells the work apart from waiting for a core),
// the table they print, and the start of their main.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

struct Timing {
  double wall = 0;  // seconds
  double cpu = 0;   // seconds of this process
};

double CpuSeconds();

// The median of runs of body; prepare runs untimed before each.
Timing MedianTiming(const std::function<void()>& body, const std::function<void()>& prepare = {},
                    int runs = 5);

// One operation against the raw SQLite work it must do, with its target on the operation's
// wall-clock time (0 for none).
struct Figure {
  const char* what;
  Timing op;
  Timing raw;
  double target = 0;  // seconds
};

// Prints the figures under heading, one line each with the op/raw ratio; false when a target
// is missed.
bool PrintFigures(const std::string& heading, const std::vector<Figure>& figures);

// The main of a benchmark whose only option is "--dir DIR" (the system's temporary folder by
// default): run's exit code, 1 when it threw (the error printed), 2 for a wrong command line.
int MainWithDir(int argc, char** argv, const std::string& name,
                const std::function<int(const std::filesystem::path&)>& run);

// The main of a benchmark that takes only "--dir DIR": runs run in a scratch folder below DIR
// (the system's temporary folder by default) that is removed afterwards, prints whether every
// target was met with the checksum sink (so no work is optimised away) and returns the exit
// code: 0 when run returned true, 1 when it did not or threw, 2 for a wrong command line.
int RunInScratch(int argc, char** argv, const std::string& name,
                 const std::function<bool(const std::filesystem::path&)>& run,
                 const std::int64_t& sink);

}  // namespace bench
