// Memory transfers for every type of the catalogue: byte and page writes with acknowledge
// polling, and the whole-memory sequential read. Expects the memory powered and the bus idle;
// every write leaves the bus idle after its stop.
#pragma once

#include <cstdint>
#include <functional>

#include "i2c/catalogue.h"
#include "i2c/i2c.h"

namespace keldar {

enum class BlockResult : int {
  Ok = 0,
  NoDeviceAck = 1,        // the device byte (X24C01: control byte) was refused
  SecondByteNack = 2,     // the first word-address byte was refused
  ThirdByteNack = 3,      // the low word-address byte of a memory above 2048 bytes was refused
  DataNack = 4,           // a data byte was refused
  WriteCycleTimeout = 5,  // no answer within kMaxWriteCyclePolls polls
  NotStarted = 6,         // nothing sent: address not below capacity, or failed line check
};

inline constexpr int kMaxWriteCyclePolls = 2500;
inline constexpr int kResyncPulses = 9;

// Called with the index of each byte about to be received, but the last. False ends the read at
// that byte: it is received without acknowledge, as a last byte is, and the caller sends the stop.
using ReadProgress = std::function<bool(uint32_t index)>;

class BlockIo {
 public:
  BlockIo(I2cMaster& master, const CurrentMemory& memory) : bus_(master), memory_(memory) {}

  [[nodiscard]] BlockResult WriteByte(uint32_t address, uint8_t value);
  // Keeping the run inside one page and inside the capacity is the caller's task; only the start
  // address is checked.
  [[nodiscard]] BlockResult WritePage(uint32_t start, const uint8_t* data, int count);
  // Reads capacity bytes from address 0 into destination, fewer when progress ends it: one
  // sequential read, or one per half on a 24LC1025. Returns Ok, NoDeviceAck, SecondByteNack or
  // ThirdByteNack. Neither powers the memory nor sends the final stop.
  [[nodiscard]] BlockResult SequentialRead(uint8_t* destination, bool enforceAcks,
                                           const ReadProgress& progress);
  // The same from any address of a 24Cxx type, inside one span of its sequential reads: a dummy
  // write of `start` (its block bits in the device byte, which the read's device byte repeats),
  // a repeated start and `count` bytes, the last not acknowledged.
  [[nodiscard]] BlockResult ReadFrom(uint32_t start, uint8_t* destination, uint32_t count,
                                     bool enforceAcks, const ReadProgress& progress);

  // Acknowledge polling: start, poll byte, stop, until acknowledged or 2500 attempts.
  [[nodiscard]] BlockResult WaitWriteCycle(uint8_t pollByte);
  // Nine SCL pulses before every X24C01 write; SDA untouched, SCL ends high.
  void ResyncClocks();

 private:
  class AckLog;
  [[nodiscard]] BlockResult Write(uint32_t start, const uint8_t* data, int count);
  void SendAddressPhase(uint32_t address, AckLog& acks);
  [[nodiscard]] BlockResult StartSequentialRead(uint32_t start, bool enforceAcks);

  I2cMaster& bus_;
  const CurrentMemory& memory_;
};

}  // namespace keldar
