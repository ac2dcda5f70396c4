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

// One target of a benchmark: figure (in unit: "x" for a ratio, "ms", "us", "s", "MB") is met
// when it is at most limit. Prints the machine-readable line scripts/bench gathers into its
// summary, tab-separated:
//   TARGET  <benchmark>  <what>  <figure>  <limit>  <unit>  met|MISSED
// and returns whether it was met. Every target of every benchmark goes through here.
bool Target(const std::string& what, double figure, double limit, const std::string& unit);

// The median of runs of body; prepare runs untimed before each.
Timing MedianTiming(const std::function<void()>& body, const std::function<void()>& prepare = {},
                    int runs = 5);

// The wall time and the peak resident memory of work done in a child process.
struct Usage {
  double seconds = 0;  // wall clock
  double cpu = 0;      // seconds of the child's own work (user and system)
  double peak_mb = 0;
};

// Runs body in a forked child and returns its wall time, its CPU time and its peak resident
// memory (getrusage of the child). The child starts with this process's memory as it is at the
// fork, so call it while this process holds little. Throws std::runtime_error when body failed.
Usage MeasureInChild(const std::function<void()>& body);

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
