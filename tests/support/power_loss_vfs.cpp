#include "support/power_loss_vfs.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <stdexcept>

namespace testing_support {
namespace {

sqlite3_vfs* Base() {
  static sqlite3_vfs* base = sqlite3_vfs_find("unix");
  return base;
}

PowerLossVfs& Disk() { return PowerLossVfs::Instance(); }

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWhole(const std::string& path, const std::optional<std::string>& content) {
  std::error_code ignored;
  if (!content) {
    std::filesystem::remove(path, ignored);
    return;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content->data(), static_cast<std::streamsize>(content->size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

// Our file handle; the default VFS's own handle follows it in the same allocation.
struct ShimFile {
  sqlite3_file base;
  std::string* path;  // null for files that hold nothing durable (temporary files)
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

ShimFile* Shim(sqlite3_file* file) { return reinterpret_cast<ShimFile*>(file); }

int Close(sqlite3_file* file) {
  ShimFile* shim = Shim(file);
  int rc = shim->real()->pMethods->xClose(shim->real());
  delete shim->path;
  shim->path = nullptr;
  return rc;
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  if (Disk().Dead()) return SQLITE_IOERR_READ;
  return Shim(file)->real()->pMethods->xRead(Shim(file)->real(), buffer, amount, offset);
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  if (Disk().Dead()) return SQLITE_IOERR_WRITE;
  ShimFile* shim = Shim(file);
  int rc = shim->real()->pMethods->xWrite(shim->real(), buffer, amount, offset);
  if (rc == SQLITE_OK && shim->path) {
    Disk().Record(*shim->path, {PowerLossVfs::Change::kWrite, offset,
                                std::string(static_cast<const char*>(buffer),
                                            static_cast<std::size_t>(amount))});
  }
  return rc;
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  if (Disk().Dead()) return SQLITE_IOERR_TRUNCATE;
  ShimFile* shim = Shim(file);
  int rc = shim->real()->pMethods->xTruncate(shim->real(), size);
  if (rc == SQLITE_OK && shim->path) {
    Disk().Record(*shim->path, {PowerLossVfs::Change::kTruncate, size, {}});
  }
  return rc;
}

int Sync(sqlite3_file* file, int flags) {
  ShimFile* shim = Shim(file);
  if (!shim->path) {
    if (Disk().Dead()) return SQLITE_IOERR_FSYNC;
    return shim->real()->pMethods->xSync(shim->real(), flags);
  }
  if (!Disk().ReachSyncPoint()) return SQLITE_IOERR_FSYNC;
  int rc = shim->real()->pMethods->xSync(shim->real(), flags);
  if (rc == SQLITE_OK) Disk().Synced(*shim->path);
  return rc;
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  if (Disk().Dead()) return SQLITE_IOERR_FSTAT;
  return Shim(file)->real()->pMethods->xFileSize(Shim(file)->real(), size);
}

int Lock(sqlite3_file* file, int level) {
  if (Disk().Dead()) return SQLITE_IOERR_LOCK;
  return Shim(file)->real()->pMethods->xLock(Shim(file)->real(), level);
}

// Locks are not kept on the disk: releasing them works even on a dead machine, so every
// connection can still close.
int Unlock(sqlite3_file* file, int level) {
  return Shim(file)->real()->pMethods->xUnlock(Shim(file)->real(), level);
}

int CheckReservedLock(sqlite3_file* file, int* out) {
  if (Disk().Dead()) return SQLITE_IOERR_CHECKRESERVEDLOCK;
  return Shim(file)->real()->pMethods->xCheckReservedLock(Shim(file)->real(), out);
}

int FileControl(sqlite3_file* file, int op, void* arg) {
  return Shim(file)->real()->pMethods->xFileControl(Shim(file)->real(), op, arg);
}

int SectorSize(sqlite3_file* file) {
  return Shim(file)->real()->pMethods->xSectorSize(Shim(file)->real());
}

int DeviceCharacteristics(sqlite3_file* file) {
  return Shim(file)->real()->pMethods->xDeviceCharacteristics(Shim(file)->real());
}

// Version 1: no shared memory and no memory map, so every write passes through Write().
const sqlite3_io_methods kMethods = {
    1,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* out_flags) {
  ShimFile* shim = Shim(file);
  shim->base.pMethods = nullptr;
  shim->path = nullptr;
  if (Disk().Dead()) return SQLITE_IOERR;
  constexpr int kDurable =
      SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL;
  if (name && (flags & kDurable)) {
    shim->path = new std::string(name);
    Disk().Track(*shim->path);
  }
  int rc = Base()->xOpen(Base(), name, shim->real(), flags, out_flags);
  if (rc != SQLITE_OK) {
    delete shim->path;
    shim->path = nullptr;
    return rc;
  }
  shim->base.pMethods = &kMethods;
  return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int sync_directory) {
  if (Disk().Dead()) return SQLITE_IOERR_DELETE;
  Disk().Track(name);
  // Unlinking with the folder synced is durable, so it is a sync point; without, it may be lost.
  if (sync_directory && !Disk().ReachSyncPoint()) return SQLITE_IOERR_DELETE;
  int rc = Base()->xDelete(Base(), name, sync_directory);
  if (rc != SQLITE_OK) return rc;
  if (sync_directory) {
    Disk().DeletedDurably(name);
  } else {
    Disk().Record(name, {PowerLossVfs::Change::kDelete, 0, {}});
  }
  return SQLITE_OK;
}

int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  if (Disk().Dead()) return SQLITE_IOERR_ACCESS;
  return Base()->xAccess(Base(), name, flags, out);
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return Base()->xFullPathname(Base(), name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return Base()->xDlOpen(Base(), name); }
void DlError(sqlite3_vfs*, int size, char* out) { Base()->xDlError(Base(), size, out); }
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
  return Base()->xDlSym(Base(), handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) { Base()->xDlClose(Base(), handle); }
int Randomness(sqlite3_vfs*, int size, char* out) { return Base()->xRandomness(Base(), size, out); }
int Sleep(sqlite3_vfs*, int microseconds) { return Base()->xSleep(Base(), microseconds); }
int CurrentTime(sqlite3_vfs*, double* now) { return Base()->xCurrentTime(Base(), now); }
int GetLastError(sqlite3_vfs*, int size, char* out) {
  return Base()->xGetLastError(Base(), size, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
  return Base()->xCurrentTimeInt64(Base(), now);
}

}  // namespace

PowerLossVfs& PowerLossVfs::Instance() {
  static PowerLossVfs instance;
  return instance;
}

PowerLossVfs::PowerLossVfs() {
  static sqlite3_vfs vfs = {
      2,
      static_cast<int>(sizeof(ShimFile)) + Base()->szOsFile,
      Base()->mxPathname,
      nullptr,
      kName,
      nullptr,
      Open,
      Delete,
      Access,
      FullPathname,
      DlOpen,
      DlError,
      DlSym,
      DlClose,
      Randomness,
      Sleep,
      CurrentTime,
      GetLastError,
      CurrentTimeInt64,
      nullptr,
      nullptr,
      nullptr,
  };
  if (sqlite3_vfs_register(&vfs, 0) != SQLITE_OK) {
    throw std::runtime_error("cannot register the power-loss VFS");
  }
}

void PowerLossVfs::Start(std::optional<int> loss_at) {
  files_.clear();
  loss_at_ = loss_at;
  syncs_ = 0;
  dead_ = false;
  rebooted_ = false;
}

PowerLossVfs::File& PowerLossVfs::Track(const std::string& path) {
  auto found = files_.find(path);
  if (found != files_.end()) return found->second;
  // First seen: whatever is on the disk now was there before the operation began.
  return files_.emplace(path, File{ReadWhole(path), {}, {}}).first->second;
}

void PowerLossVfs::Record(const std::string& path, Change change) {
  Track(path).pending.push_back(std::move(change));
}

bool PowerLossVfs::ReachSyncPoint() {
  if (dead_) return false;
  if (loss_at_ && syncs_ == *loss_at_) {
    dead_ = true;
    return false;
  }
  ++syncs_;
  return true;
}

void PowerLossVfs::Synced(const std::string& path) {
  // A new journal's folder is synced with its first sync, so its name is certain too.
  File& file = Track(path);
  file.synced = ReadWhole(path);
  file.pending.clear();
}

void PowerLossVfs::DeletedDurably(const std::string& path) {
  File& file = Track(path);
  file.synced.reset();
  file.pending.clear();
}

void PowerLossVfs::Reboot(Survivors survivors, std::uint32_t seed) {
  if (!rebooted_) {
    for (auto& [path, file] : files_) file.left = ReadWhole(path);
    rebooted_ = true;
  }
  std::mt19937 random(seed);
  std::bernoulli_distribution survives(0.5);
  for (const auto& [path, file] : files_) {
    // A machine that stayed up kept everything it synced; files with nothing pending are as
    // the operation left them (renamed into place by plain file calls, perhaps).
    if (!dead_ && file.pending.empty()) {
      WriteWhole(path, file.left);
      continue;
    }
    std::optional<std::string> content = file.synced;
    for (const Change& change : file.pending) {
      if (survivors == Survivors::kSyncedOnly || !survives(random)) continue;
      switch (change.kind) {
        case Change::kWrite: {
          if (!content) content.emplace();
          const auto end = static_cast<std::size_t>(change.offset) + change.bytes.size();
          if (content->size() < end) content->resize(end, '\0');
          content->replace(static_cast<std::size_t>(change.offset), change.bytes.size(),
                           change.bytes);
          break;
        }
        case Change::kTruncate:
          if (!content) content.emplace();
          content->resize(static_cast<std::size_t>(change.offset), '\0');
          break;
        case Change::kDelete:
          content.reset();
          break;
      }
    }
    WriteWhole(path, content);
  }
}

}  // namespace testing_support
