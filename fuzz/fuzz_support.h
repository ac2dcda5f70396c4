#pragma once

// What the fuzz targets share: one scratch folder per fuzzing process, removed at exit, and a
// way to hand the input to readers that take a file name.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzzing {

class ScratchDir {
 public:
  ScratchDir() {
    // A memory-backed folder where there is one: kasso.db syncs on every commit.
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    path_ = base / ("tillwise-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline const std::filesystem::path& Scratch() {
  static ScratchDir dir;
  return dir.path();
}

// Writes the input to a file of that name in the scratch folder and returns its path.
inline std::filesystem::path InputFile(const std::uint8_t* data, std::size_t size,
                                       const std::string& name) {
  const std::filesystem::path file = Scratch() / name;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return file;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzzing
