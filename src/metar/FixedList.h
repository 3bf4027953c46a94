#pragma once
// A list with its room inside the object, so a decoded report never touches
// the heap for its groups. Pushing past the room fails instead of growing.
// The room is left unwritten until an item is pushed: a report keeps room
// for many groups and trends and most use a few, so making one costs no more
// than the items it holds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <type_traits>

namespace nimbrel {

template <typename T, std::size_t Capacity>
class FixedList {
  static_assert(Capacity < 256);
  // Items are copied as bytes with the list and never destroyed.
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  FixedList() {}  // not "= default": that would fill the room with zeros
  bool push(const T& item) {
    if (count_ == Capacity) return false;
    std::construct_at(items() + count_, item);
    ++count_;
    return true;
  }
  void clear() { count_ = 0; }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  bool full() const { return count_ == Capacity; }
  static constexpr std::size_t capacity() { return Capacity; }
  const T& operator[](std::size_t index) const { return items()[index]; }
  T& operator[](std::size_t index) { return items()[index]; }
  const T* begin() const { return items(); }
  const T* end() const { return items() + count_; }
  T& back() { return items()[count_ - 1]; }
  std::span<const T> view() const { return {items(), count_}; }

 private:
  T* items() { return std::launder(reinterpret_cast<T*>(room_)); }
  const T* items() const { return std::launder(reinterpret_cast<const T*>(room_)); }

  alignas(T) unsigned char room_[sizeof(T) * Capacity];
  std::uint8_t count_ = 0;
};

}  // namespace nimbrel
