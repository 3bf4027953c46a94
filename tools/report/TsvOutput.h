#pragma once
// Buffered, locale-free writing of tab-separated lines to standard output.
// The appends are inline and check their room once each: a row is some
// twenty of them, and a day of reports a million rows' worth.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

class TsvOutput {
 public:
  TsvOutput() : buffer_(std::make_unique<char[]>(kCapacity)) {}

  void text(std::string_view value) {
    if (value.size() > kCapacity - size_) {
      writeLarge(value);
      return;
    }
    std::memcpy(buffer_.get() + size_, value.data(), value.size());
    size_ += value.size();
  }
  void tab() { put('\t'); }
  // Fixed-point with a decimal point whatever the locale; nothing when empty.
  void number(std::optional<double> value, int decimals) {
    if (!value) return;
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, *value, std::chars_format::fixed, decimals);
    if (result.ec == std::errc()) {
      std::string_view written(digits, static_cast<std::size_t>(result.ptr - digits));
      // No "-0" from a value that rounds to zero.
      if (written.starts_with('-') && written.find_first_not_of("-0.") == std::string_view::npos)
        written.remove_prefix(1);
      text(written);
    }
  }
  void endLine() {
    put('\n');
    if (size_ >= kFlushAt) flush();
  }
  // False once anything failed to be written.
  bool flush() {
    if (size_ > 0 && std::fwrite(buffer_.get(), 1, size_, stdout) != size_) ok_ = false;
    size_ = 0;
    return ok_;
  }
  bool finish() { return flush() && std::fflush(stdout) == 0 && std::ferror(stdout) == 0; }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  static constexpr std::size_t kCapacity = 2 * kFlushAt;

  void put(char c) {
    if (size_ == kCapacity) flush();
    buffer_[size_++] = c;
  }
  // More than the room left: out first, then what does not fit written straight.
  void writeLarge(std::string_view value) {
    flush();
    if (value.size() <= kCapacity) {
      std::memcpy(buffer_.get(), value.data(), value.size());
      size_ = value.size();
    } else if (std::fwrite(value.data(), 1, value.size(), stdout) != value.size()) {
      ok_ = false;
    }
  }

  std::unique_ptr<char[]> buffer_;
  std::size_t size_ = 0;
  bool ok_ = true;
};
