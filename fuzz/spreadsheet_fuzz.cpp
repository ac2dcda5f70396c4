// One spreadsheet reader over any bytes. The same source builds one target per format
// (.xlsx, .ods, .xls), each seeded with its own workbooks: the reader picks the format by the
// content, so every target also reaches the others' refusals. A refused workbook is a fine
// outcome; a crash, a leak, a hang or memory past -rss_limit_mb is a finding.

#include "core/common/error.h"
#include "core/files/spreadsheet.h"
#include "fuzz_support.h"

#ifndef TILLWISE_FUZZ_ENDING
#define TILLWISE_FUZZ_ENDING ".xlsx"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzzing::InputFile(data, size, std::string("book") + TILLWISE_FUZZ_ENDING);
  try {
    const files::Sheet sheet = files::ReadSpreadsheet(file, "Sheet1");
    for (const auto& row : sheet.rows) {
      if (row.size() != sheet.names.size()) __builtin_trap();
    }
    // An import asks for named columns; that path keeps only some of them.
    const files::Sheet named = files::ReadSpreadsheet(file, "goods", {"条码", "名称", "售价"});
    for (const auto& row : named.rows) {
      if (row.size() != named.names.size()) __builtin_trap();
    }
  } catch (const common::UserError&) {
  }
  return 0;
}
