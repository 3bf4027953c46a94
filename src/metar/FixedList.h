#pragma once
// A list with its room inside the object, so a decoded report never touches
// the heap for its groups. Pushing past the room fails instead of growing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace nimbrel {

template <typename T, std::size_t Capacity>
class FixedList {
  static_assert(Capacity < 256);

 public:
  bool push(const T& item) {
    if (count_ == Capacity) return false;
    items_[count_++] = item;
    return true;
  }
  void clear() { count_ = 0; }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  bool full() const { return count_ == Capacity; }
  static constexpr std::size_t capacity() { return Capacity; }
  const T& operator[](std::size_t index) const { return items_[index]; }
  T& operator[](std::size_t index) { return items_[index]; }
  const T* begin() const { return items_.data(); }
  const T* end() const { return items_.data() + count_; }
  T& back() { return items_[count_ - 1]; }
  std::span<const T> view() const { return {items_.data(), count_}; }

 private:
  std::array<T, Capacity> items_{};
  std::uint8_t count_ = 0;
};

}  // namespace nimbrel
