#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace serversync {

// Sends the till's queue and pulls the shop's changes (every two seconds) from a thread of its
// own, with its own connection to kasso.db, so a
// slow or absent network never holds up a scan, a commit or a screen. It looks every second,
// sends whenever something waits and the server is due (see Backoff), and keeps the status
// text for the cashier screens. Stopping waits for a send in flight (at most the connection
// timeout).
class BackgroundSender {
 public:
  explicit BackgroundSender(std::filesystem::path database);
  BackgroundSender(const BackgroundSender&) = delete;
  BackgroundSender& operator=(const BackgroundSender&) = delete;
  ~BackgroundSender();

  // "总部: 已同步", "总部: 待传 12 笔", "总部: 未连接", or "" for a till not joined.
  std::string StatusText() const;
  // Looks again at once, whatever the back-off says (after a join, or "send now").
  void Wake();

  // The program's sender while one runs, for the screens; nullptr in tests and tools.
  static BackgroundSender* Running();

 private:
  void Loop();

  std::filesystem::path database_;
  mutable std::mutex mutex_;
  std::condition_variable wake_up_;
  bool stop_ = false;
  bool woken_ = false;
  std::string status_;
  std::thread thread_;
};

}  // namespace serversync
