#include "core/devices/port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <map>

#include "core/common/format.h"

namespace devices {
namespace fs = std::filesystem;
namespace {

fs::path& UsbDirectorySetting() {
  static fs::path directory = "/dev/usb";
  return directory;
}

std::map<std::string, fs::path>& Overrides() {
  static std::map<std::string, fs::path> overrides;
  return overrides;
}

speed_t BaudConstant(int baud) {
  switch (baud) {
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 19200:
      return B19200;
    default:
      return B9600;
  }
}

}  // namespace

void SetUsbPrinterDirectory(const fs::path& directory) { UsbDirectorySetting() = directory; }
fs::path UsbPrinterDirectory() { return UsbDirectorySetting(); }

void OverridePortPath(const std::string& setting, const fs::path& path) {
  if (path.empty()) {
    Overrides().erase(common::ToLower(setting));
  } else {
    Overrides()[common::ToLower(setting)] = path;
  }
}

bool IsPortSetting(const std::string& setting) {
  std::string name = common::ToLower(setting);
  bool serial = name.size() == 4 && name.starts_with("com") && name[3] >= '1' && name[3] <= '4';
  if (serial || name == "lpt1" || name.starts_with("usb")) return true;
  struct stat info {};
  return setting.starts_with('/') && ::stat(setting.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

std::vector<fs::path> PortDevicePaths(const std::string& setting) {
  if (setting.starts_with('/')) return {fs::path(setting)};
  std::string name = common::ToLower(setting);
  if (auto found = Overrides().find(name); found != Overrides().end()) return {found->second};
  if (name.size() == 4 && name.starts_with("com") && name[3] >= '1' && name[3] <= '4') {
    return {fs::path("/dev/ttyS" + std::string(1, static_cast<char>(name[3] - 1)))};
  }
  if (name == "lpt1") return {"/dev/lp0"};
  if (name.starts_with("usb")) {
    std::vector<fs::path> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(UsbPrinterDirectory(), error)) {
      if (entry.path().filename().string().starts_with("lp")) nodes.push_back(entry.path());
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
  }
  return {};
}

std::optional<Port> Port::Open(const fs::path& path, Access access) {
  int flags = (access == Access::kWrite ? O_WRONLY : O_RDWR) | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
  int fd = ::open(path.c_str(), flags);
  if (fd < 0) return std::nullopt;
  // Checked on the open file itself, so a path swapped in between cannot slip through.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  // The descriptor stays non-blocking: Write and Read wait with poll and a deadline, so an
  // offline printer cannot hold the till.
  return Port(fd);
}

Port::Port(Port&& other) noexcept : fd_(other.fd_), stuck_(other.stuck_) { other.fd_ = -1; }

Port& Port::operator=(Port&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    stuck_ = other.stuck_;
    other.fd_ = -1;
  }
  return *this;
}

Port::~Port() { Close(); }

void Port::Close() {
  if (fd_ < 0) return;
  // A serial line waits on close until its output is sent; output a stuck device did not take
  // is dropped instead, so closing cannot hang either.
  if (stuck_) ::tcflush(fd_, TCOFLUSH);
  ::close(fd_);
  fd_ = -1;
}

bool Port::ConfigureSerial(int baud) {
  termios settings{};
  if (::tcgetattr(fd_, &settings) != 0) return false;
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CSIZE | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  ::cfsetispeed(&settings, BaudConstant(baud));
  ::cfsetospeed(&settings, BaudConstant(baud));
  return ::tcsetattr(fd_, TCSANOW, &settings) == 0;
}

bool Port::Write(std::string_view bytes) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
  while (!bytes.empty()) {
    ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return false;
    // The device takes no more for now: wait until it does, or give up at the deadline.
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd wait{fd_, POLLOUT, 0};
    if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) == 0) {
      stuck_ = true;
      return false;
    }
  }
  return true;
}

std::string Port::Read(int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  std::string data;
  while (true) {
    int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    if (left <= 0) break;
    // Once bytes have come, a short quiet gap ends the answer.
    pollfd wait{fd_, POLLIN, 0};
    if (::poll(&wait, 1, data.empty() ? left : std::min(left, 60)) <= 0) break;
    char buffer[256];
    ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) break;
    data.append(buffer, static_cast<size_t>(got));
  }
  return data;
}

}  // namespace devices
