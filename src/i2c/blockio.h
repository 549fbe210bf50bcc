// Memory transfers for every type of the catalogue, described as transactions that an executor
// carries out: byte and page writes with acknowledge polling, and the sequential reads. Expects
// the memory powered and the bus idle; every transfer leaves the bus idle after its stop.
#pragma once

#include <cstdint>

#include "i2c/bus_executor.h"
#include "i2c/catalogue.h"
#include "i2c/transaction.h"

namespace keldar {

enum class BlockResult : int {
  Ok = 0,
  NoDeviceAck = 1,        // the device byte (X24C01: control byte) was refused
  SecondByteNack = 2,     // the first word-address byte was refused
  ThirdByteNack = 3,      // the low word-address byte of a memory above 2048 bytes was refused
  DataNack = 4,           // a data byte was refused
  WriteCycleTimeout = 5,  // no answer within the executor's polling bound
  NotStarted = 6,         // nothing sent: address not below capacity, or failed line check
};

class BlockIo {
 public:
  BlockIo(BusExecutor& bus, const CurrentMemory& memory) : bus_(bus), memory_(memory) {}

  [[nodiscard]] BlockResult WriteByte(uint32_t address, uint8_t value);
  // Keeping the run inside one page and inside the capacity is the caller's task; only the start
  // address is checked.
  [[nodiscard]] BlockResult WritePage(uint32_t start, const uint8_t* data, int count);
  // Reads capacity bytes from address 0 into destination, fewer when progress ends it: one
  // sequential read, or one per half on a 24LC1025, the next half after a repeated start.
  // Returns Ok, NoDeviceAck, SecondByteNack or ThirdByteNack. Ends with the stop; does not power
  // the memory.
  [[nodiscard]] BlockResult SequentialRead(uint8_t* destination, bool enforceAcks,
                                           const ReadProgress& progress);
  // The same from any address of a 24Cxx type, inside one span of its sequential reads: a dummy
  // write of `start` (its block bits in the device byte, which the read's device byte repeats),
  // a repeated start and `count` bytes, the last not acknowledged, then the stop.
  [[nodiscard]] BlockResult ReadFrom(uint32_t start, uint8_t* destination, uint32_t count,
                                     bool enforceAcks, const ReadProgress& progress);
  // Reads `count` bytes from `start` as consecutive random reads, one per stretch of `span`
  // aligned bytes (a dummy write of its first address, a repeated start, the read device byte
  // repeating its block bits, its bytes), the next after a repeated start; then the stop. The
  // progress hook counts from `start`. The X24C01 has no dummy write: it is read from its
  // address 0, whatever `start`.
  [[nodiscard]] BlockResult ReadSpans(uint32_t start, uint8_t* destination, uint32_t count,
                                      uint32_t span, bool enforceAcks,
                                      const ReadProgress& progress);

  // Acknowledge polling after a write, with this control byte.
  [[nodiscard]] BlockResult WaitWriteCycle(uint8_t pollByte);

 private:
  [[nodiscard]] BlockResult Write(uint32_t start, const uint8_t* data, int count);

  BusExecutor& bus_;
  const CurrentMemory& memory_;
};

// The result a transaction's first refused byte gives, by where that byte sits.
[[nodiscard]] BlockResult ResultOf(const TransactionResult& result);

}  // namespace keldar
