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

std::string_view GroupCursor::peekSecond() const {
  std::size_t at = peekedEnd_;
  return scan(at);
}

std::string_view GroupCursor::peekThird() const {
  std::size_t at = peekedEnd_;
  scan(at);
  return scan(at);
}

}  // namespace nimbrel
