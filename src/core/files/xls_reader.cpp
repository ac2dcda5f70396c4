// Legacy .xls workbooks are read by freexl, which trusts the offsets and sizes a file claims:
// a hostile or damaged workbook can make it read out of bounds and crash. So the workbook is
// read in a child process, which sends the sheet (and how far it has come) back through a
// pipe; a child that dies, runs out of memory or stops answering means "打开文件错误", and the
// till goes on.

#include <freexl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/common/error.h"
#include "core/files/spreadsheet_cells.h"

#if defined(__SANITIZE_ADDRESS__)
#define TILLWISE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TILLWISE_ADDRESS_SANITIZER 1
#endif
#endif

namespace files {
namespace {

constexpr const char* kUnreadableXls = "打开文件错误";
// What the child may map beyond what it starts with (the whole till's address space): far
// more than the largest .xls (65536 rows by 256 columns) needs, far less than the machine has.
[[maybe_unused]] constexpr rlim_t kChildMemory = rlim_t{1} << 30;
// A child that says nothing for this long is taken as stuck in a looping file.
constexpr int kSilenceMs = 60'000;

constexpr unsigned kRowsPerReport = 4096;

// Closes the workbook however the reading ends.
class XlsBook {
 public:
  explicit XlsBook(const std::filesystem::path& file) {
    if (freexl_open(file.c_str(), &handle_) != FREEXL_OK) {
      handle_ = nullptr;
      throw common::UserError(kUnreadableXls);
    }
  }
  ~XlsBook() {
    if (handle_) freexl_close(handle_);
  }
  XlsBook(const XlsBook&) = delete;
  XlsBook& operator=(const XlsBook&) = delete;
  const void* handle() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

void Require(int result) {
  if (result != FREEXL_OK) throw common::UserError(kUnreadableXls);
}

std::string CellText(const FreeXL_CellValue& cell) {
  switch (cell.type) {
    case FREEXL_CELL_INT:
      return std::to_string(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
      return NumberText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return cell.value.text_value ? cell.value.text_value : "";
    default:
      return {};
  }
}

Sheet ReadInThisProcess(const std::filesystem::path& file, std::string_view sheet,
                        const std::vector<std::string>& wanted, const Progress& progress) {
  XlsBook book(file);
  unsigned int password = 0;
  Require(freexl_get_info(book.handle(), FREEXL_BIFF_PASSWORD, &password));
  if (password != FREEXL_BIFF_PLAIN) throw common::UserError(kUnreadableXls);
  unsigned int sheets = 0;
  Require(freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &sheets));
  int chosen = sheets == 1 ? 0 : -1;
  for (unsigned int index = 0; index < sheets; ++index) {
    const char* name = nullptr;
    Require(freexl_get_worksheet_name(book.handle(), static_cast<unsigned short>(index), &name));
    if (name && sheet == name) chosen = static_cast<int>(index);
  }
  if (chosen < 0) throw common::UserError(kUnreadableXls);
  Require(freexl_select_active_worksheet(book.handle(), static_cast<unsigned short>(chosen)));
  unsigned int rows = 0;
  unsigned short columns = 0;
  Require(freexl_worksheet_dimensions(book.handle(), &rows, &columns));
  auto text = [&](unsigned int row, unsigned short col) {
    FreeXL_CellValue cell;
    Require(freexl_get_cell_value(book.handle(), row, col, &cell));
    return CellText(cell);
  };
  SheetBuilder builder(wanted);
  std::vector<std::string> names;
  for (unsigned short col = 0; rows > 0 && col < columns; ++col) names.push_back(text(0, col));
  builder.SetNames(names);
  for (unsigned int row = 1; row < rows; ++row) {
    if (row % kRowsPerReport == 0) ReportProgress(progress, row, rows);
    for (std::uint64_t col : builder.KeptAmong(0, columns)) {
      std::string cell = text(row, static_cast<unsigned short>(col));
      if (!cell.empty()) builder.Put(row, col, std::move(cell));
    }
  }
  return builder.Finish();
}

// The child's messages: a kind byte, then its values. Numbers are 8 bytes as the machine
// holds them (parent and child are the same program); texts a number and their bytes.
enum Kind : char { kProgress = 'P', kRefused = 'E', kSheet = 'S' };

class Message {
 public:
  explicit Message(Kind kind) { bytes_ += kind; }
  void Number(std::uint64_t value) { bytes_.append(reinterpret_cast<const char*>(&value), 8); }
  void Text(const std::string& text) {
    Number(text.size());
    bytes_ += text;
  }
  // Writes the whole message; false when the parent has gone.
  bool SendTo(int fd) const {
    std::size_t sent = 0;
    while (sent < bytes_.size()) {
      const ssize_t n = write(fd, bytes_.data() + sent, bytes_.size() - sent);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }

 private:
  std::string bytes_;
};

// The child: reads the workbook, sends the sheet or the refusal, and ends without running
// anything of the parent's (no exit handlers, no flushing of the parent's buffers).
[[noreturn]] void ReadAsChild(int fd, const std::filesystem::path& file, std::string_view sheet,
                              const std::vector<std::string>& wanted) {
  // A crash ends the child quietly; the parent sees it die and refuses the file.
  for (int signal_number : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    ::signal(signal_number, SIG_DFL);
  }
#ifndef TILLWISE_ADDRESS_SANITIZER
  // Under AddressSanitizer the shadow memory alone is larger than any limit worth setting.
  // The limit counts what the till had mapped already (Qt, fonts, thread stacks).
  unsigned long long pages = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%llu", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  if (pages > 0) {
    const rlim_t limit =
        static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + kChildMemory;
    const rlimit memory{limit, limit};
    setrlimit(RLIMIT_AS, &memory);
  }
#endif
  int status = 0;
  try {
    const Sheet result =
        ReadInThisProcess(file, sheet, wanted, [fd](std::size_t done, std::size_t total) {
          Message message(kProgress);
          message.Number(done);
          message.Number(total);
          return message.SendTo(fd);
        });
    Message message(kSheet);
    message.Number(result.names.size());
    for (const std::string& name : result.names) message.Text(name);
    message.Number(result.rows.size());
    for (const std::vector<std::string>& row : result.rows) {
      for (const std::string& cell : row) message.Text(cell);
    }
    status = message.SendTo(fd) ? 0 : 1;
  } catch (const common::UserError& error) {
    Message message(kRefused);
    message.Text(error.what());
    status = message.SendTo(fd) ? 0 : 1;
  } catch (...) {
    status = 1;  // out of memory, stopped: the parent refuses the file
  }
  _exit(status);
}

// The parent's side of one child: reads its messages and, however the reading ends, makes
// sure the child is gone.
class Child {
 public:
  Child(pid_t pid, int fd) : pid_(pid), fd_(fd) {}
  ~Child() {
    close(fd_);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Reap();
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  std::uint64_t Number() {
    std::uint64_t value = 0;
    Read(reinterpret_cast<char*>(&value), 8);
    return value;
  }
  std::string Text() {
    const std::uint64_t size = Number();
    if (size > kMaxSheetBytes) throw common::UserError(kUnreadableXls);
    ChargeCell(received_, size);  // the child keeps to the limit; a broken one is refused
    std::string text(size, '\0');
    Read(text.data(), text.size());
    return text;
  }
  char NextKind() {
    char kind = 0;
    Read(&kind, 1);
    return kind;
  }
  // Waits for the child to end after its last message; false unless it ended well.
  bool Finished() {
    const int status = Reap();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  void Read(char* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
      pollfd ready{fd_, POLLIN, 0};
      const int polled = poll(&ready, 1, kSilenceMs);
      if (polled < 0 && errno == EINTR) continue;
      if (polled <= 0) throw common::UserError(kUnreadableXls);  // stuck
      const ssize_t n = read(fd_, data + got, size - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) throw common::UserError(kUnreadableXls);  // the child died
      got += static_cast<std::size_t>(n);
    }
  }
  int Reap() {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return status;
  }

  pid_t pid_;
  int fd_;
  std::size_t received_ = 0;
};

}  // namespace

Sheet ReadXlsSheet(const std::filesystem::path& file, std::string_view sheet,
                   const std::vector<std::string>& wanted, const Progress& progress,
                   const SheetRowSink& take) {
  int fds[2];
  if (pipe(fds) != 0) throw common::UserError(kUnreadableXls);
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    throw common::UserError(kUnreadableXls);
  }
  if (pid == 0) {
    close(fds[0]);
    ReadAsChild(fds[1], file, sheet, wanted);
  }
  close(fds[1]);
  Child child(pid, fds[0]);
  for (;;) {
    const char kind = child.NextKind();
    if (kind == kProgress) {
      const std::uint64_t done = child.Number();
      ReportProgress(progress, done, child.Number());
      continue;
    }
    if (kind == kRefused) {
      const std::string refusal = child.Text();
      child.Finished();
      throw common::UserError(refusal);
    }
    if (kind != kSheet) throw common::UserError(kUnreadableXls);
    Sheet result;
    const std::uint64_t names = child.Number();
    if (names > kMaxColumns) throw common::UserError(kUnreadableXls);
    for (std::uint64_t i = 0; i < names; ++i) result.names.push_back(child.Text());
    const std::uint64_t rows = child.Number();
    if (rows > kMaxRows) throw common::UserError(kUnreadableXls);
    result.rows.resize(rows);
    for (std::vector<std::string>& row : result.rows) {
      row.reserve(names);
      for (std::uint64_t i = 0; i < names; ++i) row.push_back(child.Text());
    }
    if (!child.Finished()) throw common::UserError(kUnreadableXls);
    // The child sends the sheet whole (an .xls holds at most 65536 rows); handed on from here.
    if (take) HandOnRows(result, take);
    return result;
  }
}

}  // namespace files
