#pragma once
// Walks the space-separated groups of a report as views into its text. The
// report ends at the first "=", and whatever follows it is kept apart.
#include <string_view>

namespace nimbrel {

class GroupCursor {
 public:
  explicit GroupCursor(std::string_view text);

  // The next group, or an empty view at the end.
  std::string_view next();
  // The group after the current one, without moving.
  std::string_view peek() const { return peeked_; }
  // Text after the "=" that ended the report, from its first letter or digit.
  std::string_view afterEnd() const { return afterEnd_; }

 private:
  std::string_view scan(std::size_t& at) const;

  std::string_view text_;
  std::size_t at_ = 0;
  std::string_view peeked_;
  std::size_t peekedEnd_ = 0;
  std::string_view afterEnd_;
};

}  // namespace nimbrel
