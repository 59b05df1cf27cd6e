// The text that the engine rewrites. Results are written at the first operator of their kind,
// usually near the front, so a replacement moves whichever side of it is shorter: the text keeps
// free room before its first character as well as after its last.
//
// A stage that works from left to right never looks again far behind the place where it last
// wrote, so it may set that part aside (Commit): View, Size and positions then cover only the rest,
// and a replacement in the middle of a long text moves only a few characters. Join puts the part
// set aside back in front; every stage joins before it ends.
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
    front_.clear();
  }
  void Assign(std::string_view text) {
    Clear();
    buffer_.append(text);
  }
  void Append(std::string_view text) { buffer_.append(text); }

  // Characters set aside in front of View().
  std::size_t Committed() const { return front_.size(); }

  // Sets aside the characters in front of the nearest place before `from` where reading a number
  // backwards stops: a character that cannot belong to a number (a digit, ".", "E", "D" or a
  // sign), or a sign right after a digit or a point (an operator). No operand read at `from` or
  // after it reaches that place, nor is any character before it looked at. Returns how many were
  // set aside; positions in View() move back by as many.
  std::size_t Commit(std::size_t from) {
    const std::string_view text = View();
    std::size_t stop = std::min(from, text.size());
    while (stop > 0) {
      const char c = text[stop - 1];
      if (!MayBeInNumber(c)) break;
      if ((c == '+' || c == '-') && stop >= 2 && IsDigitOrPoint(text[stop - 2])) {
        --stop;  // the digit before the operator is looked at as well
        break;
      }
      --stop;
    }
    // text[stop - 1] is kept.
    if (stop <= 1) return 0;
    const std::size_t moved = stop - 1;
    front_.append(text.substr(0, moved));
    head_ += moved;
    return moved;
  }

  void Join() {
    if (front_.empty()) return;
    if (head_ < front_.size()) {
      const std::size_t room = front_.size() - head_;
      buffer_.insert(0, room, '\0');
      head_ += room;
    }
    head_ -= front_.size();
    std::memcpy(buffer_.data() + head_, front_.data(), front_.size());
    front_.clear();
  }

  // Joins when it goes out of scope.
  class Joiner {
   public:
    explicit Joiner(WorkText& text) : text_(text) {}
    ~Joiner() { text_.Join(); }
    Joiner(const Joiner&) = delete;
    Joiner& operator=(const Joiner&) = delete;

   private:
    WorkText& text_;
  };

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
  static bool IsDigitOrPoint(char c) { return (c >= '0' && c <= '9') || c == '.'; }
  static bool MayBeInNumber(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == 'D' || c == '+' || c == '-';
  }

  std::string buffer_;
  std::size_t head_ = 0;
  std::string front_;  // set aside by Commit
};

}  // namespace funzioni::detail
