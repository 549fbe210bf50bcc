// The 256 KiB byte buffer the user edits, indexed by memory address. Only its first `capacity`
// bytes (the active window) take part in fills, display, transfers and saving; file loading can
// write anywhere in it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace keldar {

inline constexpr uint32_t kBufferBytes = 262144;

// A value: copies copy the bytes, == compares them. The bytes live on the heap, never on the
// stack of the thread that holds one. Every buffer always holds kBufferBytes bytes, all 0 when
// made: there is no move that would leave one empty, a move copies.
class Buffer {
 public:
  Buffer() : bytes_(kBufferBytes) {}
  Buffer(const Buffer&) = default;
  Buffer& operator=(const Buffer&) = default;
  ~Buffer() = default;

  [[nodiscard]] static constexpr size_t size() { return kBufferBytes; }
  [[nodiscard]] uint8_t* data() { return bytes_.data(); }
  [[nodiscard]] const uint8_t* data() const { return bytes_.data(); }
  [[nodiscard]] uint8_t* begin() { return data(); }
  [[nodiscard]] const uint8_t* begin() const { return data(); }
  [[nodiscard]] uint8_t* end() { return data() + size(); }
  [[nodiscard]] const uint8_t* end() const { return data() + size(); }
  uint8_t& operator[](size_t address) { return bytes_[address]; }
  const uint8_t& operator[](size_t address) const { return bytes_[address]; }
  uint8_t& at(size_t address) { return bytes_.at(address); }
  const uint8_t& at(size_t address) const { return bytes_.at(address); }
  void fill(uint8_t value) { std::fill(bytes_.begin(), bytes_.end(), value); }

  friend bool operator==(const Buffer&, const Buffer&) = default;

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace keldar
