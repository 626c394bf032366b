#include "BackgroundSync.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

void BackgroundSync::tell(off_t size) {
  told_ = size;
  if (noThread_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    size_ = size;
  }
  if (!thread_) {
    try {
      thread_.emplace([this]() { run(); });
    } catch (const std::system_error&) {
      noThread_ = true;
      return;
    }
  }
  wake_.notify_one();
}

void BackgroundSync::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this]() { return stopping_ || size_ - synced_ >= step; });
    if (stopping_) return;
    const off_t size = size_;
    lock.unlock();
    const int error = ::fdatasync(fd_) == 0 || errno == EINVAL ? 0 : errno;
    lock.lock();
    if (error_ == 0) error_ = error;
    synced_ = size;
  }
}

int BackgroundSync::stop() {
  if (thread_) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_->join();
    thread_.reset();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}
