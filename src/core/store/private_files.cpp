#include "core/store/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace store {
namespace fs = std::filesystem;
namespace {

[[noreturn]] void Fail(const char* what, const fs::path& path) {
  throw fs::filesystem_error(what, path, std::error_code(errno, std::generic_category()));
}

// Removes the group's and others' bits; a path that is missing or not ours is left alone.
void Narrow(const fs::path& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || S_ISLNK(status.st_mode)) return;
  if ((status.st_mode & 077) == 0) return;
  ::chmod(path.c_str(), status.st_mode & 07700);
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

void CreatePrivateFolders(const fs::path& folder) {
  if (folder.empty()) return;
  std::error_code error;
  if (fs::is_directory(folder, error)) return;
  const fs::path parent = folder.parent_path();
  if (!parent.empty() && parent != folder) CreatePrivateFolders(parent);
  if (::mkdir(folder.c_str(), kOwnerOnlyFolderMode) != 0 && errno != EEXIST) {
    Fail("cannot create folder", folder);
  }
}

void CreatePrivateFile(const fs::path& file) {
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnlyFileMode);
  if (fd < 0) {
    if (errno == EEXIST) return;
    Fail("cannot create file", file);
  }
  ::close(fd);
}

void CopyPrivately(const fs::path& from, const fs::path& to) {
  Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) Fail("cannot read file", from);
  ::unlink(to.c_str());
  Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnlyFileMode));
  if (out.get() < 0) Fail("cannot create file", to);
  std::array<char, 1 << 16> buffer;
  for (;;) {
    ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail("cannot read file", from);
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(out.get(), buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) Fail("cannot write file", to);
      done += put;
    }
  }
  if (::fsync(out.get()) != 0) Fail("cannot flush file", to);
}

void NarrowDataFolder(const fs::path& folder) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) return;
  Narrow(folder);
  for (const char* name : {"kasso.db", "kasso.db-journal", "kasso.db-wal", "kasso.db-shm",
                           "kasso.lock", "labelprint.db"}) {
    Narrow(folder / name);
  }
  const fs::path backups = folder / "backup";
  if (!fs::is_directory(backups, error)) return;
  Narrow(backups);
  for (const fs::directory_entry& entry : fs::directory_iterator(backups, error)) {
    if (entry.is_regular_file(error)) Narrow(entry.path());
  }
}

}  // namespace store
