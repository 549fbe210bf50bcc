// One bus transfer described as data, between the block layer that builds it and the executor
// that carries it out: optional resynchronisation pulses, then segments each opened by a start
// (the first) or a repeated start, then a stop. A segment is what Linux's struct i2c_msg holds:
// a control byte (the address and the R/W bit), then bytes out or bytes in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace keldar {

// Called before each byte received but the transaction's last, with its index among all the
// bytes the transaction receives. False ends the read at that byte: it is received without
// acknowledge, as a last byte is, and the stop follows.
using ReadProgress = std::function<bool(uint32_t index)>;

// Where a byte sits in its segment.
enum class BytePart : uint8_t {
  Control,  // the byte after the (repeated) start
  Address,  // a word-address byte
  Data,     // a data byte out
};

struct Segment {
  // The device byte with its R/W bit in bit 0, or the X24C01's address and R/W bit. Bit 0 set:
  // a read segment, which receives `in`, each byte acknowledged but the transaction's last;
  // clear: a write segment, which sends `address` then `data`.
  uint8_t control = 0;
  std::span<const uint8_t> address;
  std::span<const uint8_t> data;
  std::span<uint8_t> in;
  // Whether a refused control byte, or a refused word-address byte, ends the transaction
  // (nothing more is sent and the stop follows) or is only recorded. A refused data byte always
  // ends it.
  bool controlRefusalEnds = true;
  bool addressRefusalEnds = true;

  [[nodiscard]] bool reads() const { return (control & 1U) != 0; }
};

struct Transaction {
  bool resync = false;                // the X24C01's nine SCL pulses before the start
  std::span<const Segment> segments;  // none: a stop alone, from wherever the bus was left
  const ReadProgress* progress = nullptr;
};

struct RefusedByte {
  size_t segment = 0;
  BytePart part = BytePart::Control;
  size_t index = 0;  // within its part
  bool operator==(const RefusedByte&) const = default;
};

struct TransactionResult {
  // The first byte, in the order sent, whose refusal ended the transaction.
  std::optional<RefusedByte> refused;
  // Bytes received into the read segments, in order: fewer than asked when a refusal or the
  // progress hook ended the transaction.
  uint32_t received = 0;
  // A port call failed since the executor's last ClearPortFailure: nothing carried is trusted.
  bool portFailed = false;
};

}  // namespace keldar
