#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

namespace tabrix {

// A growable array of plain values in one malloc'd block, for the row
// store's columns. It grows with realloc, which for a large block remaps its
// pages instead of copying them, so filling a column of a million values
// never holds two copies of it, nor touches its pages twice.
template <typename T>
class Arena {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  Arena() = default;
  ~Arena() { std::free(m_data); }
  Arena(Arena&& other) noexcept
      : m_data(std::exchange(other.m_data, nullptr)),
        m_size(std::exchange(other.m_size, 0)),
        m_capacity(std::exchange(other.m_capacity, 0)) {}
  Arena& operator=(Arena&& other) noexcept {
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    std::swap(m_capacity, other.m_capacity);
    return *this;
  }
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  const T* data() const { return m_data; }
  std::size_t size() const { return m_size; }
  std::size_t capacity() const { return m_capacity; }
  const T& operator[](std::size_t i) const { return m_data[i]; }
  T& operator[](std::size_t i) { return m_data[i]; }

  void reserve(std::size_t capacity) {
    if (!tryReserve(capacity)) throw std::bad_alloc();
  }

  // reserve() for a size that is only a hint: address space, none of it
  // touched until filled (realloc maps a large block lazily). False, and
  // nothing changes, where it can't be had.
  bool tryReserve(std::size_t capacity) noexcept {
    if (capacity <= m_capacity) return true;
    if (capacity > std::numeric_limits<std::size_t>::max() / sizeof(T)) return false;
    void* grown = std::realloc(m_data, capacity * sizeof(T));
    if (!grown) return false;
    m_data = static_cast<T*>(grown);
    m_capacity = capacity;
    return true;
  }

  // Gives back what was reserved and never filled.
  void shrinkToFit() noexcept {
    if (m_size == m_capacity) return;
    if (m_size == 0) {
      std::free(m_data);
      m_data = nullptr;
      m_capacity = 0;
      return;
    }
    if (void* shrunk = std::realloc(m_data, m_size * sizeof(T))) {
      m_data = static_cast<T*>(shrunk);
      m_capacity = m_size;
    }
  }

  void append(const T* values, std::size_t count) {
    if (m_size + count > m_capacity) reserve(std::max(m_size + count, m_capacity + m_capacity / 2 + 64));
    if (count) std::memcpy(m_data + m_size, values, count * sizeof(T));
    m_size += count;
  }
  void push_back(const T& value) { append(&value, 1); }

  // append() for a count known when compiling: the copy is inlined.
  template <std::size_t Count>
  void appendFixed(const T* values) {
    if (m_size + Count > m_capacity) reserve(std::max(m_size + Count, m_capacity + m_capacity / 2 + 64));
    std::memcpy(m_data + m_size, values, Count * sizeof(T));
    m_size += Count;
  }

 private:
  T* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_capacity = 0;
};

}  // namespace tabrix
