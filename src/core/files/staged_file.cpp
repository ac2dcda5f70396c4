#include "core/files/staged_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "core/common/error.h"

namespace files {
namespace fs = std::filesystem;

StagedFile::StagedFile(fs::path target) : target_(std::move(target)) {
  std::error_code error;
  if (fs::is_directory(target_, error)) throw kasso::UserError("不能创建文件: 同名文件夹已存在");
  // Built by appending: GCC 12 at -O3 misreads "." + string as an overlapping copy.
  std::string stem(1, '.');
  stem.append(target_.filename().string()).append(1, '.').append(std::to_string(getpid()));
  // O_EXCL picks a name nobody else holds. Exports hold goods, members and takings: the file
  // is its owner's alone from the moment it exists, whatever the umask.
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = target_.parent_path() / (stem + "-" + std::to_string(attempt) + ".part");
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    throw kasso::UserError("不能创建文件: " + target_.string());
  }
}

StagedFile::~StagedFile() {
  Close();
  if (!committed_ && !temporary_.empty()) {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
  }
}

void StagedFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void StagedFile::Commit() {
  // Reopened when a writer closed it, so the content reaches the disk before the rename: a
  // power cut then leaves either the old file or the whole new one.
  int fd = fd_ >= 0 ? fd_ : ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (fd != fd_ && fd >= 0) ::close(fd);
  Close();
  std::error_code error;
  if (synced) fs::rename(temporary_, target_, error);
  if (!synced || error) throw kasso::UserError("不能写入文件: " + target_.string());
  committed_ = true;
}

void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw kasso::UserError("写入文件错误");
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace files
