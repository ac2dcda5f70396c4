#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <string>

// A pseudo-terminal standing in for a serial device: the program opens slave_path, the test
// reads and writes the master side.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    char name[256] = {};
    int slave = -1;
    if (openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
      slave_path_ = name;
      // Keep one slave descriptor open so the master reads no hang-up between opens.
      slave_ = slave;
    }
  }
  ~PseudoTerminal() {
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& slave_path() const { return slave_path_; }

  // Everything the program wrote, gathered until the line stays quiet.
  std::string ReadAll(int quiet_ms = 100) {
    std::string data;
    for (std::string more; !(more = ReadSome(quiet_ms)).empty();) data += more;
    return data;
  }

  // The first bytes that arrive within the timeout.
  std::string ReadSome(int timeout_ms) {
    pollfd wait{master_, POLLIN, 0};
    if (poll(&wait, 1, timeout_ms) <= 0) return {};
    char buffer[256];
    ssize_t got = read(master_, buffer, sizeof buffer);
    return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : std::string();
  }

  void Write(const std::string& bytes) {
    ssize_t ignored = write(master_, bytes.data(), bytes.size());
    (void)ignored;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
};
