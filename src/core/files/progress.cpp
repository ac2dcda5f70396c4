#include "core/files/progress.h"

namespace files {

void ReportProgress(const Progress& progress, std::size_t done, std::size_t total) {
  if (progress && !progress(done, total)) throw Cancelled();
}

}  // namespace files
