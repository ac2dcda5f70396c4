#pragma once

// A disk that can lose power, for SQLite: a VFS over the default "unix" one that records, for
// every database and journal file, what the disk holds for certain (its content at the file's
// last sync) and every write, truncation and deletion since. At a chosen sync point the machine
// dies: that sync and every file operation after it fail with an I/O error. Reboot() then puts
// each recorded file back as a disk could have kept it: only what was synced, or that plus a
// random (seeded) part of the writes that were not.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class PowerLossVfs {
 public:
  // The name under which the VFS is registered (never as the default VFS).
  static constexpr const char* kName = "tillwise-power-loss";

  enum class Survivors {
    kSyncedOnly,    // every write not yet synced is lost
    kRandomSubset,  // each write, truncation or deletion not yet synced survives or not
  };

  // The one instance, registered with SQLite on first use.
  static PowerLossVfs& Instance();

  // Forgets every recorded file and starts counting sync points from 0. With a loss point the
  // machine dies when that many syncs have completed: the next sync fails and everything after.
  void Start(std::optional<int> loss_at);
  // Sync points completed since Start().
  int SyncPoints() const { return syncs_; }
  bool Dead() const { return dead_; }

  // Writes every recorded file as the disk kept it after the loss; a file whose existence was
  // never synced may be gone. Files the VFS did not see are left alone. Reboot can be called
  // again with another mode: each call starts from the files as the operation left them.
  void Reboot(Survivors survivors, std::uint32_t seed);

  // Used by the VFS callbacks only.
  struct Change {
    enum Kind { kWrite, kTruncate, kDelete } kind;
    std::int64_t offset = 0;  // kWrite: where; kTruncate: the new size
    std::string bytes;        // kWrite: what
  };
  struct File {
    std::optional<std::string> synced;  // nullopt: the file is not on the disk for certain
    std::vector<Change> pending;        // since the last sync, in order
    std::optional<std::string> left;    // as the operation left it, read at the first reboot
  };
  File& Track(const std::string& path);
  void Record(const std::string& path, Change change);
  // Called before a sync of a recorded file; false once the machine is dead (the sync fails).
  bool ReachSyncPoint();
  // Called after the sync succeeded: the file's current content is now certain.
  void Synced(const std::string& path);
  void DeletedDurably(const std::string& path);

 private:
  PowerLossVfs();

  std::map<std::string, File> files_;
  std::optional<int> loss_at_;
  int syncs_ = 0;
  bool dead_ = false;
  bool rebooted_ = false;
};

}  // namespace testing_support
