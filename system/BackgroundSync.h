#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Syncs a growing file's data on a thread of its own, each time another few megabytes have been
// written, so that the sync that must come before the file is put in place finds little left to
// do: the disk, and the machine that hosts it, write while the program computes. Where no thread
// can be started, nothing is synced early.
class BackgroundSync {
 public:
  explicit BackgroundSync(int fd) : fd_(fd) {}
  ~BackgroundSync() { stop(); }
  BackgroundSync(const BackgroundSync&) = delete;
  BackgroundSync& operator=(const BackgroundSync&) = delete;

  // The file now holds `size` bytes.
  void grown(off_t size) {
    if (size - told_ >= step) tell(size);
  }
  // Waits for a sync under way and ends the thread. Returns the errno of the first sync that
  // failed, or 0.
  int stop();

 private:
  static constexpr off_t step = off_t{8} << 20;

  void tell(off_t size);
  void run();

  const int fd_;
  off_t told_ = 0;  // the size last told to the thread
  std::mutex mutex_;
  std::condition_variable wake_;
  off_t size_ = 0;    // guarded by mutex_, as are the three below
  off_t synced_ = 0;  // of which the data is on disk
  bool stopping_ = false;
  int error_ = 0;
  std::optional<std::thread> thread_;
  bool noThread_ = false;
};
