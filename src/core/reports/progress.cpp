#include "core/reports/progress.h"

namespace reports {

void ReportProgress(const Progress& progress, std::size_t done, std::size_t total) {
  if (progress && !progress(done, total)) throw Cancelled();
}

}  // namespace reports
