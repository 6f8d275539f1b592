#include "driver/ast_steps.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>

namespace vrel {
namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

constexpr std::array<char, 1024> kBlanks = [] {
  std::array<char, 1024> blanks{};
  blanks.fill(' ');
  return blanks;
}();

class Expander {
 public:
  explicit Expander(DescriptorWriter& out) : out_(out) {}

  void expand(std::string_view text) {
    while (!text.empty()) {
      if (atLineStart_) text = takeSteps(text);
      if (text.empty()) break;
      const char* end = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
      std::size_t n =
          end == nullptr ? text.size() : static_cast<std::size_t>(end - text.data()) + 1;
      out_.write(text.substr(0, n));
      text.remove_prefix(n);
      atLineStart_ = end != nullptr;
    }
  }

 private:
  // Counts the steps at the start of a line; once its text begins, writes the blanks before it.
  std::string_view takeSteps(std::string_view text) {
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
      if (text[i] == ' ') {
        indent_ += 2;
      } else if (text[i] == '\t') {
        indent_ -= 2;
      } else {
        break;
      }
    }
    if (i == text.size()) return {};
    atLineStart_ = false;
    if (text[i] != '\n') {
      for (std::size_t left = indent_, n; left > 0; left -= n) {
        n = std::min(left, kBlanks.size());
        out_.write(std::string_view(kBlanks.data(), n));
      }
    }
    return text.substr(i);
  }

  DescriptorWriter& out_;
  std::size_t indent_ = 0;
  bool atLineStart_ = true;
};

}  // namespace

void copyIndented(int fd, const std::string& path, DescriptorWriter& out) {
  DescriptorSource source(fd, path);
  std::unique_ptr<char[]> block(new char[kBlockBytes]);
  Expander expander(out);
  while (std::size_t got = source.read(block.get(), kBlockBytes)) {
    expander.expand(std::string_view(block.get(), got));
  }
}

}  // namespace vrel
