#pragma once
// Buffered, locale-free writing of tab-separated lines to standard output.
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

class TsvOutput {
 public:
  TsvOutput() { buffer_.reserve(kFlushAt + 4096); }

  void text(std::string_view value) { buffer_ += value; }
  void tab() { buffer_ += '\t'; }
  // Fixed-point with a decimal point whatever the locale; nothing when empty.
  void number(std::optional<double> value, int decimals) {
    if (!value) return;
    char digits[64];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, *value, std::chars_format::fixed, decimals);
    if (result.ec == std::errc()) {
      std::string_view written(digits, static_cast<std::size_t>(result.ptr - digits));
      // No "-0" from a value that rounds to zero.
      if (written.starts_with('-') && written.find_first_not_of("-0.") == std::string_view::npos)
        written.remove_prefix(1);
      buffer_ += written;
    }
  }
  void endLine() {
    buffer_ += '\n';
    if (buffer_.size() >= kFlushAt) flush();
  }
  // False once anything failed to be written.
  bool flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), stdout) != buffer_.size()) ok_ = false;
    buffer_.clear();
    return ok_;
  }
  bool finish() { return flush() && std::fflush(stdout) == 0 && std::ferror(stdout) == 0; }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  std::string buffer_;
  bool ok_ = true;
};
