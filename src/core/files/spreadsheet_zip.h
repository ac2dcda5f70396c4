#pragma once

// The zip archive an .xlsx or .ods workbook is: its parts found through the central
// directory and inflated piece by piece, so that a part is never held whole in memory.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/progress.h"

namespace files {

class ZipArchive {
 public:
  // The archive's bytes stay owned by the caller. Throws common::UserError("打开文件错误")
  // when they are not a zip archive this reader understands.
  explicit ZipArchive(std::string_view bytes);

  bool Has(std::string_view name) const;
  // Hands the named part's bytes to take, a piece at a time; progress counts the part's
  // compressed bytes. Throws common::UserError("打开文件错误") for a missing or damaged part,
  // and Cancelled.
  void Read(std::string_view name, const std::function<void(std::string_view)>& take,
            const Progress& progress = {}) const;

 private:
  struct Entry {
    std::string name;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint64_t packed = 0;
    std::uint64_t header = 0;  // offset of the part's local header
  };
  const Entry* Find(std::string_view name) const;

  std::string_view bytes_;
  std::vector<Entry> entries_;
};

}  // namespace files
