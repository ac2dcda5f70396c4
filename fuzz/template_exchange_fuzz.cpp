// The label template exchange file over any bytes: a SQLite file from another till, possibly
// damaged or hostile. Importing either takes every row or refuses the file whole with a
// UserError (a DbError escaping is a finding too); it runs inside a transaction that is
// always rolled back, so every input meets the same shop.

#include "core/common/error.h"
#include "core/labels/template_exchange.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  store::SetDataDirectory(fuzzing::Scratch());
  store::CreateNewDatabase(store::DatabasePath());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzzing::InputFile(data, size, "labelprint.db");
  store::Database db;
  const auto before = db.QueryInt("select count(*) from labeltemplate");
  {
    store::Transaction keep_nothing(db);
    try {
      const int rows = labels::ImportTemplates(db, file);
      if (rows != db.QueryInt("select count(*) from labeltemplate")) __builtin_trap();
    } catch (const common::UserError&) {
      // Refused whole: nothing of it may have reached labeltemplate.
      if (db.QueryInt("select count(*) from labeltemplate") != before) __builtin_trap();
    }
  }
  return 0;
}
