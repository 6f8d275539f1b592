// The AST text on its way from the front end to the reader on another thread, through a bounded
// ring of bytes: the front end waits while the ring is full, the reader while it is empty. The
// front end also says, when it ends, whether it accepted the source; the reader stops reading
// once it has its tree, and from then on the front end's text goes to the file alone.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string_view>

#include "ast/text_scanner.h"
#include "frontend/frontend.h"

namespace vrel {

class AstTextChannel final : public AstTextListener, public ast::ByteSource {
 public:
  static constexpr std::size_t kDefaultCapacity = std::size_t{4} << 20;

  // Throws std::bad_alloc if the ring cannot be had.
  explicit AstTextChannel(std::size_t capacity = kDefaultCapacity);

  // The front end's side: a block of text, copied into the ring as room appears; dropped once
  // the reader has stopped.
  void written(std::string_view block) override;
  // No more text; `accepted` is the front end's verdict on the source. Only the first call counts.
  void close(bool accepted);

  // The reader's side: up to `capacity` bytes of text, waiting for them; 0 once the text is
  // closed and every byte has been read.
  std::size_t read(char* buffer, std::size_t capacity) override;
  // Reads no more.
  void stop();
  // Waits for the front end to close the text and returns its verdict.
  bool accepted();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::unique_ptr<char[]> ring_;
  std::size_t capacity_;
  std::size_t start_ = 0;  // of the unread bytes
  std::size_t size_ = 0;   // unread bytes
  bool closed_ = false;
  bool accepted_ = false;
  bool stopped_ = false;
};

}  // namespace vrel
