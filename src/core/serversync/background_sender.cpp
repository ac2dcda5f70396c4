#include "core/serversync/background_sender.h"

#include <atomic>
#include <chrono>

#include "core/serversync/sender.h"
#include "core/serversync/shared_data.h"
#include "core/store/database.h"

namespace serversync {
namespace {

std::atomic<BackgroundSender*> running{nullptr};
constexpr std::chrono::seconds kLookEvery{1};
// How often a connected till asks for the shop's changes: a price saved at one till shows at
// the others within a few seconds.
constexpr std::chrono::seconds kPullEvery{2};

}  // namespace

BackgroundSender::BackgroundSender(std::filesystem::path database)
    : database_(std::move(database)), thread_([this] { Loop(); }) {
  running = this;
}

BackgroundSender::~BackgroundSender() {
  BackgroundSender* self = this;
  running.compare_exchange_strong(self, nullptr);
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_up_.notify_all();
  thread_.join();
}

BackgroundSender* BackgroundSender::Running() { return running; }

std::string BackgroundSender::StatusText() const {
  std::lock_guard lock(mutex_);
  return status_;
}

void BackgroundSender::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_up_.notify_all();
}

void BackgroundSender::Loop() {
  Backoff backoff;
  auto next_pull = Backoff::Clock::now();
  std::unique_lock lock(mutex_);
  while (!stop_) {
    const bool woken = woken_;
    woken_ = false;
    lock.unlock();
    const auto now = Backoff::Clock::now();
    try {
      store::Database db(database_);
      SyncStatus status = ReadSyncStatus(db);
      const bool send = status.pending > 0 || !status.connected;
      const bool pull = woken || now >= next_pull || !status.connected;
      if (status.joined && (send || pull) && (woken || backoff.IsDue(now))) {
        try {
          // Sent first, so the stock and balances pulled next already count this till's sales.
          if (send) SendPending(db);
          if (pull) {
            PullChanges(db);
            next_pull = now + kPullEvery;
          }
          backoff.Succeeded(now);
        } catch (const std::exception&) {
          backoff.Failed(now);
        }
        status = ReadSyncStatus(db);
      }
      const std::string text = serversync::StatusText(status);
      std::lock_guard guard(mutex_);
      status_ = text;
    } catch (const std::exception&) {
      // The file is busy or gone for a moment: the next round looks again.
    }
    lock.lock();
    wake_up_.wait_for(lock, kLookEvery, [this] { return stop_ || woken_; });
  }
}

}  // namespace serversync
