#include "driver/ast_text_channel.h"

#include <algorithm>
#include <cstring>

namespace vrel {

AstTextChannel::AstTextChannel(std::size_t capacity)
    : ring_(new char[capacity]), capacity_(capacity) {}

// Each side copies without the lock: the front end only into the free part of the ring, the reader
// only out of the unread part, and neither part changes hands until its copy is done.
void AstTextChannel::written(std::string_view block) {
  while (!block.empty()) {
    std::size_t end = 0;
    std::size_t n = 0;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopped_ || size_ < capacity_; });
      if (stopped_) return;
      end = (start_ + size_) % capacity_;
      n = std::min({block.size(), capacity_ - size_, capacity_ - end});
    }
    std::memcpy(ring_.get() + end, block.data(), n);
    block.remove_prefix(n);
    std::lock_guard lock(mutex_);
    size_ += n;
    changed_.notify_all();
  }
}

void AstTextChannel::close(bool accepted) {
  std::lock_guard lock(mutex_);
  if (closed_) return;
  closed_ = true;
  accepted_ = accepted;
  changed_.notify_all();
}

std::size_t AstTextChannel::read(char* buffer, std::size_t capacity) {
  std::size_t from = 0;
  std::size_t n = 0;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || size_ > 0; });
    from = start_;
    n = std::min({capacity, size_, capacity_ - start_});
  }
  if (n == 0) return 0;
  std::memcpy(buffer, ring_.get() + from, n);
  std::lock_guard lock(mutex_);
  start_ = (start_ + n) % capacity_;
  size_ -= n;
  changed_.notify_all();
  return n;
}

void AstTextChannel::stop() {
  std::lock_guard lock(mutex_);
  stopped_ = true;
  changed_.notify_all();
}

bool AstTextChannel::accepted() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return closed_; });
  return accepted_;
}

}  // namespace vrel
