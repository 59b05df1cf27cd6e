// The text that the engine rewrites. Results are written at the first operator of their kind,
// usually near the front, so a replacement moves whichever side of it is shorter: the text keeps
// free room before its first character as well as after its last.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace funzioni::detail {

class WorkText {
 public:
  void Clear() {
    buffer_.clear();
    head_ = 0;
  }
  void Assign(std::string_view text) {
    Clear();
    buffer_.append(text);
  }
  void Append(std::string_view text) { buffer_.append(text); }

  std::string_view View() const { return {buffer_.data() + head_, buffer_.size() - head_}; }
  std::size_t Size() const { return buffer_.size() - head_; }
  bool Empty() const { return Size() == 0; }
  char At(std::size_t i) const { return buffer_[head_ + i]; }
  char* Data() { return buffer_.data() + head_; }
  void Truncate(std::size_t size) { buffer_.resize(head_ + size); }

  // Replaces [from, to) by `with`, which must not view this text.
  void Replace(std::size_t from, std::size_t to, std::string_view with) {
    const std::size_t removed = to - from;
    const std::size_t tail = Size() - to;
    if (from >= tail) {
      buffer_.replace(head_ + from, removed, with.data(), with.size());
      return;
    }
    if (with.size() <= removed) {
      const std::size_t shift = removed - with.size();
      char* base = Data();
      std::memmove(base + shift, base, from);
      std::memcpy(base + shift + from, with.data(), with.size());
      head_ += shift;
      return;
    }
    const std::size_t grow = with.size() - removed;
    if (head_ < grow) {
      const std::size_t room = grow + std::max<std::size_t>(Size(), 32);
      buffer_.insert(0, room, '\0');
      head_ += room;
    }
    char* base = Data();
    std::memmove(base - grow, base, from);
    std::memcpy(base - grow + from, with.data(), with.size());
    head_ -= grow;
  }

 private:
  std::string buffer_;
  std::size_t head_ = 0;
};

}  // namespace funzioni::detail
