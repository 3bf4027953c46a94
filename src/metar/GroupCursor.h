#pragma once
// Walks the space-separated groups of a report as views into its text. The
// report ends at the first "=", and whatever follows it is kept apart.
#include <string_view>

namespace nimbrel {

// What separates groups: a space, a tab or a line break.
inline bool isGroupSeparator(char c) {
  // Most characters are letters or digits: one comparison rules them out.
  return c <= ' ' && (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f');
}

class GroupCursor {
 public:
  explicit GroupCursor(std::string_view text);

  // The next group, or an empty view at the end.
  std::string_view next() {
    const std::string_view group = peeked_;
    at_ = peekedEnd_;
    peeked_ = scan(peekedEnd_);
    return group;
  }
  // The group after the current one, without moving.
  std::string_view peek() const { return peeked_; }
  // The group after peek(), without moving; scanned only when asked for.
  std::string_view peekSecond() const;
  // The group after peekSecond(), the same way.
  std::string_view peekThird() const;
  // Text after the "=" that ended the report, from its first letter or digit.
  std::string_view afterEnd() const { return afterEnd_; }

 private:
  // Inline, on pointers: every character of every report passes here.
  std::string_view scan(std::size_t& at) const {
    const char* const begin = text_.data();
    const char* const end = begin + text_.size();
    const char* p = begin + at;
    while (p != end && isGroupSeparator(*p)) ++p;
    const char* const start = p;
    while (p != end && !isGroupSeparator(*p)) ++p;
    at = static_cast<std::size_t>(p - begin);
    return {start, static_cast<std::size_t>(p - start)};
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::string_view peeked_;
  std::size_t peekedEnd_ = 0;
  std::string_view afterEnd_;
};

}  // namespace nimbrel
