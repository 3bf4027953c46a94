#include "metar/GroupCursor.h"

#include <cctype>

namespace nimbrel {

GroupCursor::GroupCursor(std::string_view text) {
  const std::size_t end = text.find('=');
  if (end != std::string_view::npos) {
    // Only letters or digits after the end make another report; "=", spaces
    // and control characters left by a feed do not.
    std::string_view rest = text.substr(end);
    while (!rest.empty() && !std::isalnum(static_cast<unsigned char>(rest.front()))) rest.remove_prefix(1);
    afterEnd_ = rest;
    text = text.substr(0, end);
  }
  text_ = text;
  peekedEnd_ = 0;
  peeked_ = scan(peekedEnd_);
}

std::string_view GroupCursor::scan(std::size_t& at) const {
  // On locals: through the reference the compiler would store and reload at every character.
  const std::string_view text = text_;
  std::size_t i = at;
  while (i < text.size() && isGroupSeparator(text[i])) ++i;
  const std::size_t start = i;
  while (i < text.size() && !isGroupSeparator(text[i])) ++i;
  at = i;
  return text.substr(start, i - start);
}

std::string_view GroupCursor::peekSecond() const {
  std::size_t at = peekedEnd_;
  return scan(at);
}

std::string_view GroupCursor::peekThird() const {
  std::size_t at = peekedEnd_;
  scan(at);
  return scan(at);
}

std::string_view GroupCursor::next() {
  const std::string_view group = peeked_;
  at_ = peekedEnd_;
  peeked_ = scan(peekedEnd_);
  return group;
}

}  // namespace nimbrel
