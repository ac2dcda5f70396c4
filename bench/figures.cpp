#include "figures.h"

#include <errno.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "measure.h"

namespace bench {
namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool Target(const std::string& what, double figure, double limit, const std::string& unit) {
  const bool met = figure <= limit;
  // Tabs and line ends inside the text would break the line's fields.
  std::string field = what;
  for (char& c : field) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  std::printf("TARGET\t%s\t%s\t%.6g\t%.6g\t%s\t%s\n", program_invocation_short_name, field.c_str(),
              figure, limit, unit.c_str(), met ? "met" : "MISSED");
  std::fflush(stdout);
  return met;
}

Usage MeasureInChild(const std::function<void()>& body) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) throw std::runtime_error("pipe failed");
  std::fflush(nullptr);  // nothing buffered is written twice
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    close(pipe_ends[0]);
    int code = 0;
    const auto start = std::chrono::steady_clock::now();
    try {
      body();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "measured work failed: %s\n", error.what());
      code = 1;
    }
    const double seconds = SecondsSince(start);
    if (write(pipe_ends[1], &seconds, sizeof seconds) != sizeof seconds) code = 1;
    std::fflush(nullptr);
    _exit(code);  // no destructors or exit handlers of the parent's objects
  }
  close(pipe_ends[1]);
  Usage usage;
  const bool timed = read(pipe_ends[0], &usage.seconds, sizeof usage.seconds) ==
                     static_cast<ssize_t>(sizeof usage.seconds);
  close(pipe_ends[0]);
  int status = 0;
  rusage resources{};
  if (wait4(child, &status, 0, &resources) != child || !timed || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    throw std::runtime_error("the measured child process failed");
  }
  usage.peak_mb = static_cast<double>(resources.ru_maxrss) / 1024.0;
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  usage.cpu = seconds(resources.ru_utime) + seconds(resources.ru_stime);
  return usage;
}

Timing MedianTiming(const std::function<void()>& body, const std::function<void()>& prepare,
                    int runs) {
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int run = 0; run < runs; ++run) {
    if (prepare) prepare();
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = CpuSeconds();
    body();
    cpu.push_back(CpuSeconds() - cpu_start);
    wall.push_back(SecondsSince(start));
  }
  return {Median(wall), Median(cpu)};
}

bool PrintFigures(const std::string& heading, const std::vector<Figure>& figures) {
  std::printf("\n%s\n  %-50s %9s %9s %9s %9s %8s  %s\n", heading.c_str(), "operation", "op ms",
              "op cpu", "raw ms", "raw cpu", "op/raw", "target (op ms)");
  bool pass = true;
  for (const Figure& f : figures) {
    const bool met = f.target == 0 || f.op.wall <= f.target;
    pass = pass && met;
    std::printf("  %-50s %9.1f %9.1f %9.1f %9.1f %7.2fx  ", f.what, f.op.wall * 1e3, f.op.cpu * 1e3,
                f.raw.wall * 1e3, f.raw.cpu * 1e3, f.op.wall / f.raw.wall);
    if (f.target > 0) {
      std::printf("< %.0f %s\n", f.target * 1e3, met ? "PASS" : "FAIL");
    } else {
      std::printf("-\n");
    }
  }
  for (const Figure& f : figures) {
    if (f.target > 0) Target(heading + ": " + f.what, f.op.wall * 1e3, f.target * 1e3, "ms");
  }
  return pass;
}

int MainWithDir(int argc, char** argv, const std::string& name,
                const std::function<int(const std::filesystem::path&)>& run) {
  std::filesystem::path dir = std::filesystem::temp_directory_path();
  if (argc == 3 && std::string(argv[1]) == "--dir") {
    dir = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: %s [--dir DIR]  (generated files go there)\n", name.c_str());
    return 2;
  }
  try {
    return run(dir);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), error.what());
    return 1;
  }
}

int RunInScratch(int argc, char** argv, const std::string& name,
                 const std::function<bool(const std::filesystem::path&)>& run,
                 const std::int64_t& sink) {
  return MainWithDir(argc, argv, name, [&](const std::filesystem::path& base) {
#ifndef NDEBUG
    std::printf("warning: built without NDEBUG; build in Release for figures that mean much\n");
#endif
    ScratchDir scratch{base / (name + "-" + std::to_string(getpid()))};
    const bool pass = run(scratch.path);
    std::printf("\n%s (checksum %lld)\n", pass ? "all targets met" : "SOME TARGETS MISSED",
                static_cast<long long>(sink % 1000));
    return pass ? 0 : 1;
  });
}

}  // namespace bench
