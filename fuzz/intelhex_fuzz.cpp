// Arbitrary input to the Intel HEX reader: it must not crash, must write nothing outside its
// 65536-byte destination nor at or above its limit, whatever the extended addresses say, must
// answer one of its nine codes and report a copied range inside the limit.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

#include "data/buffer.h"
#include "data/intelhex.h"

namespace {

constexpr size_t kGuardBytes = 4096;
constexpr uint8_t kGuard = 0xA5;
constexpr size_t kAreaBytes = kGuardBytes + keldar::kBufferBytes + kGuardBytes;

// The destination sits between two guard zones.
std::array<uint8_t, kAreaBytes> area;
std::array<uint8_t, kAreaBytes> untouched;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool Untouched(size_t from, size_t to) {
  return std::memcmp(area.data() + from, untouched.data() + from, to - from) == 0;
}

// The guard zones, and the destination from the limit on, must still hold kGuard afterwards.
void ReadWithGuards(std::string_view text, uint32_t limit) {
  const std::span<uint8_t> destination(area.data() + kGuardBytes, keldar::kBufferBytes);
  const keldar::IntelHexResult result = keldar::ReadIntelHexText(text, destination, limit);

  const int code = static_cast<int>(result.code);
  Require(code >= 0 && code <= 8);
  Require(result.opened());
  Require(result.loadedBytes <= text.size() / 2);  // every byte takes two characters
  const size_t usable = std::min<size_t>(limit, keldar::kBufferBytes);
  if (result.copied) {
    Require(result.copied->first <= result.copied->last && result.copied->last < usable);
  }
  // A clean reading copied every byte it counted.
  if (result.code == keldar::IntelHexCode::Ok) Require(result.copied || result.loadedBytes == 0);
  const size_t end = kGuardBytes + usable;
  Require(Untouched(0, kGuardBytes));
  Require(Untouched(end, kAreaBytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  untouched.fill(kGuard);
  area.fill(kGuard);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The smallest limit first: the ones after it may write where it must not.
  ReadWithGuards(text, 2048);
  ReadWithGuards(text, keldar::kBufferBytes);
  // A limit beyond the destination must be cut down to it.
  ReadWithGuards(text, keldar::kBufferBytes + kGuardBytes);
  return 0;
}
