#pragma once

// How long file work reports how far it has come, and how the person stops it.

#include <cstddef>
#include <exception>
#include <functional>

namespace files {

// Told how much of the work is done (rows or bytes, of total); returning false stops the work.
// An empty function means nobody is watching.
using Progress = std::function<bool(std::size_t done, std::size_t total)>;

// The person stopped the work through its progress. A stopped import has written nothing; a
// stopped export has left no file under the chosen name (and an older file there unchanged).
class Cancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "cancelled"; }
};

// Calls progress when there is one; throws Cancelled when it asks to stop.
void ReportProgress(const Progress& progress, std::size_t done, std::size_t total);

}  // namespace files
