#include "core/app/restore.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <memory>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/store/audit.h"
#include "core/store/file_check.h"
#include "core/store/legacy_text.h"
#include "core/store/outbox.h"
#include "core/store/private_files.h"
#include "core/store/upgrade.h"

namespace app {
namespace fs = std::filesystem;
namespace {

constexpr const char* kNotABackup = "所选文件不是本系统的数据备份，数据恢复失败";
constexpr const char* kDamaged = "所选备份文件已损坏，数据恢复失败";
constexpr const char* kUnreadable = "所选文件无法读取，数据恢复失败";

// Tables every till file has had since the first version; a file without them is not ours.
constexpr std::array<const char*, 6> kTillTables = {
    "management", "operatormaster", "dutyrights", "goodsmaster", "inventory", "transactiondetails"};

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using ReadOnlyDb = std::unique_ptr<sqlite3, Closer>;

// Opens a file for reading only: a chosen backup is never written to.
ReadOnlyDb OpenReadOnly(const fs::path& file) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  ReadOnlyDb db(raw);
  if (rc != SQLITE_OK) throw store::DbError(raw ? sqlite3_errmsg(raw) : "out of memory");
  return db;
}

void SyncFile(const fs::path& file, int flags) {
  int fd = ::open(file.c_str(), flags | O_CLOEXEC);
  if (fd < 0) throw store::DbError("cannot open " + file.string() + " to flush it");
  int rc = ::fsync(fd);
  ::close(fd);
  if (rc != 0) throw store::DbError("cannot flush " + file.string());
}

// Copies the working file byte for byte, so that even a damaged kasso.db is kept.
fs::path KeepSafetyCopy(const fs::path& working) {
  if (!fs::exists(working)) return {};
  // A transaction a crash left half-done is rolled back by the first read, so the copy and
  // the file that replaces kasso.db meet no stale journal. A file too damaged to read is
  // copied as it is.
  try {
    store::Database db(working);
    db.QueryInt("pragma schema_version");
  } catch (const store::DbError&) {
  }
  store::CreatePrivateFolders(BackupFolder());
  fs::path safety = SafetyCopyPath(kasso::Now());
  fs::path partial = safety;
  partial += ".part";
  std::error_code ignored;
  try {
    store::CopyPrivately(working, partial);
    fs::rename(partial, safety);
  } catch (...) {
    fs::remove(partial, ignored);
    throw;
  }
  // A journal that could not be rolled back belongs to the old file, never to the new one.
  fs::path journal = working;
  journal += "-journal";
  if (fs::exists(journal)) {
    fs::path kept = safety;
    kept += "-journal";
    fs::rename(journal, kept);
  }
  return safety;
}

}  // namespace

std::optional<std::string> CheckBackupFile(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return kUnreadable;
  std::uintmax_t size = fs::file_size(file, error);
  if (error) return kUnreadable;
  if (size == 0) return kNotABackup;
  switch (store::CheckDatabaseHeader(file, size)) {
    case store::HeaderCheck::kSound:
      break;
    case store::HeaderCheck::kUnreadable:
      return kUnreadable;
    case store::HeaderCheck::kForeign:
      return kNotABackup;
    case store::HeaderCheck::kDamaged:
      return kDamaged;
  }
  try {
    ReadOnlyDb db = OpenReadOnly(file);
    for (const char* table : kTillTables) {
      store::Statement found(db.get(),
                             "select 1 from sqlite_master where type = 'table' and name = ?");
      found.BindAll(table);
      if (!found.Step()) return kNotABackup;
    }
    store::Statement check(db.get(), "pragma integrity_check");
    if (!check.Step() || check.Text(0) != "ok") return kDamaged;
  } catch (const store::DbError&) {
    return kDamaged;
  }
  return std::nullopt;
}

fs::path SafetyCopyPath(const std::tm& time) {
  std::string stem = "恢复前" + kasso::FormatTime(time, "%Y%m%d%H%M%S");
  fs::path path = BackupFolder() / (stem + ".dat");
  for (int n = 2; fs::exists(path); ++n) {
    path = BackupFolder() / (stem + "-" + std::to_string(n) + ".dat");
  }
  return path;
}

fs::path RestoreDatabaseFrom(const fs::path& chosen, const CopyProgress& progress) {
  if (std::optional<std::string> refusal = CheckBackupFile(chosen)) {
    throw kasso::UserError(*refusal);
  }
  fs::path working = store::DatabasePath();
  fs::path partial = working;
  partial += ".restore";
  fs::path partial_journal = partial;
  partial_journal += "-journal";
  std::error_code ignored;
  fs::remove(partial, ignored);
  fs::remove(partial_journal, ignored);
  try {
    {
      ReadOnlyDb source = OpenReadOnly(chosen);
      store::Database copy(partial, store::OpenMode::kCreate);
      CopyPages(source.get(), copy.handle(), progress);
      source.reset();
      // The till keeps kasso.db a single file with a rollback journal, whatever the copy was.
      copy.ExecScript("pragma journal_mode = delete");
      store::ConvertLegacyText(copy);
      store::UpgradeSchema(copy);
      RepeatDrawerCommandGroup(copy);
      // The restored history starts over from the backup's numbers: it sells on under the
      // till's own identity with a new epoch, and what the current file still owes the
      // server goes with it.
      store::CarryServerState(copy, working);
      // The restored file carries the record of its own restore, from the login dialog
      // where nobody is logged in.
      store::Transaction tx(copy);
      store::WriteAudit(copy, {"", store::kAuditRestore, chosen.filename().string(), 0});
      tx.Commit();
    }
    fs::path safety = KeepSafetyCopy(working);
    fs::rename(partial, working);
    // The new file is in place; making the rename itself durable is worth a try, not a failure.
    try {
      SyncFile(working.parent_path(), O_RDONLY | O_DIRECTORY);
    } catch (const store::DbError&) {
    }
    return safety;
  } catch (...) {
    fs::remove(partial, ignored);
    fs::remove(partial_journal, ignored);
    throw;
  }
}

void RepeatDrawerCommandGroup(store::Database& db) {
  if (db.HasRow("select 1 from pragma_table_info('management') where name = 'opencashiercmd'")) {
    return;
  }
  store::Transaction tx(db);
  db.ExecScript("alter table management add opencashiercmd text");
  db.Exec("update management set opencashiercmd = ?", store::kDefaultDrawerCommand);
  tx.Commit();
}

void RepeatDrawerCommandGroup() {
  try {
    store::Database db;
    RepeatDrawerCommandGroup(db);
  } catch (const store::DbError&) {
  }
}

}  // namespace app
