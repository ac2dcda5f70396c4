#pragma once

#include <filesystem>

namespace files {

// A file that is written beside its target under a hidden temporary name and takes the
// target's name only when complete, so a failed or stopped write never leaves half a file
// under that name and never destroys a good file there before the new one is whole.
class StagedFile {
 public:
  // Creates the empty temporary file. Throws common::UserError when the folder refuses it.
  explicit StagedFile(std::filesystem::path target);
  // Removes the temporary file unless it was committed.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  const std::filesystem::path& temporary() const { return temporary_; }
  const std::filesystem::path& target() const { return target_; }
  // The open descriptor of the temporary file, -1 once closed.
  int fd() const { return fd_; }
  // Closes the descriptor (writers that reopen the file by name close it first).
  void Close();
  // Flushes the temporary file to disk and renames it over the target.
  void Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool committed_ = false;
};

// Writes all of data to fd; throws common::UserError when the disk refuses.
void WriteAll(int fd, const char* data, std::size_t size);

}  // namespace files
