// The strings of the tree: names and decoded texts. A string read from AST text is a view into
// the storage of the tree it belongs to; one built by the program owns a copy of its bytes.
// Either way it compares, orders, hashes and concatenates like a std::string.
#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace vrel::ast {

class TreeStore;

class TreeString {
 public:
  TreeString() = default;
  TreeString(std::string_view s) : owned_(std::make_shared<const std::string>(s)), view_(*owned_) {}
  TreeString(const char* s) : TreeString(std::string_view(s)) {}
  TreeString(const std::string& s) : TreeString(std::string_view(s)) {}

  operator std::string_view() const { return view_; }
  std::string_view view() const { return view_; }
  std::string str() const { return std::string(view_); }

  std::size_t size() const { return view_.size(); }
  bool empty() const { return view_.empty(); }
  const char* data() const { return view_.data(); }
  char operator[](std::size_t i) const { return view_[i]; }
  auto begin() const { return view_.begin(); }
  auto end() const { return view_.end(); }

  friend bool operator==(const TreeString& a, const TreeString& b) { return a.view_ == b.view_; }
  friend bool operator==(const TreeString& a, std::string_view b) { return a.view_ == b; }
  friend bool operator==(const TreeString& a, const char* b) { return a.view_ == b; }
  friend bool operator==(const TreeString& a, const std::string& b) { return a.view_ == b; }
  friend std::strong_ordering operator<=>(const TreeString& a, const TreeString& b) {
    return a.view_ <=> b.view_;
  }
  friend std::strong_ordering operator<=>(const TreeString& a, std::string_view b) {
    return a.view_ <=> b;
  }
  friend std::strong_ordering operator<=>(const TreeString& a, const char* b) {
    return a.view_ <=> std::string_view(b);
  }
  friend std::strong_ordering operator<=>(const TreeString& a, const std::string& b) {
    return a.view_ <=> std::string_view(b);
  }

  friend std::string operator+(std::string a, const TreeString& b) { return a.append(b.view_); }
  friend std::string operator+(const char* a, const TreeString& b) {
    return std::string(a).append(b.view_);
  }
  friend std::string operator+(const TreeString& a, std::string_view b) {
    return std::string(a.view_).append(b);
  }
  friend std::string operator+(const TreeString& a, const char* b) {
    return std::string(a.view_).append(b);
  }
  friend std::string operator+(const TreeString& a, const std::string& b) {
    return std::string(a.view_).append(b);
  }
  friend std::string operator+(const TreeString& a, char b) { return std::string(a.view_) + b; }

  friend std::ostream& operator<<(std::ostream& out, const TreeString& s) { return out << s.view_; }

 private:
  friend class TreeStore;
  struct InStore {};
  TreeString(InStore, std::string_view s) : view_(s) {}

  std::shared_ptr<const std::string> owned_;  // empty for a view into a tree's storage
  std::string_view view_;
};

}  // namespace vrel::ast

template <>
struct std::hash<vrel::ast::TreeString> {
  std::size_t operator()(const vrel::ast::TreeString& s) const noexcept {
    return std::hash<std::string_view>{}(s.view());
  }
};
