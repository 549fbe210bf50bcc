// The three user operations between the buffer and the memory: read, program (whole memory or
// the selected byte) and compare. Each powers the memory, checks that SDA reads high, runs the
// block transfers, and powers the memory off on every path. Results only: the window turns them
// into messages.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "data/buffer.h"
#include "hw/line_driver.h"
#include "i2c/blockio.h"
#include "i2c/catalogue.h"

namespace keldar {

// Moves the progress bar to this value (read and compare: 0..capacity-1; program:
// 0..capacity).
using ProgressCallback = std::function<void(uint32_t value)>;

struct ReadOutcome {
  BlockResult result = BlockResult::Ok;  // Ok, NoDeviceAck (also a failed line check), 2 or 3
  bool portFailed = false;               // a port call failed: nothing read is trusted
  [[nodiscard]] bool succeeded() const { return result == BlockResult::Ok && !portFailed; }
};

struct ProgramOutcome {
  BlockResult result = BlockResult::Ok;
  bool portFailed = false;   // the transfers stopped at the block where a port call failed
  uint32_t lastAddress = 0;  // start address of the last block attempted
  [[nodiscard]] bool succeeded() const { return result == BlockResult::Ok && !portFailed; }
};

struct CompareOutcome {
  bool reachable = false;  // false: communication error, no count
  uint32_t differences = 0;
  uint32_t firstDifference = 0;  // the lowest differing address, when differences > 0
  [[nodiscard]] bool same() const { return reachable && differences == 0; }
};

// Whole memory into buffer[0, capacity). The bytes reach the buffer only when the whole read
// succeeded; on failure the buffer is untouched.
[[nodiscard]] ReadOutcome ReadMemory(LineDriver& lines, const CurrentMemory& memory, Buffer& buffer,
                                     const ProgressCallback& progress);

// Whole memory from buffer[0, capacity): page mode when memory.pageMode or when the type has no
// byte mode; the first failing block ends it, what was written before stays written.
[[nodiscard]] ProgramOutcome ProgramMemory(LineDriver& lines, const CurrentMemory& memory,
                                           const Buffer& buffer, const ProgressCallback& progress);

// The byte under the grid's cursor. A cursor outside the capacity sends nothing and gives
// NotStarted, so that it is never reported as programmed.
[[nodiscard]] ProgramOutcome ProgramSelectedByte(LineDriver& lines, const CurrentMemory& memory,
                                                 const Buffer& buffer);

// Reads the memory into scratch (at least capacity bytes) and counts the bytes that differ from
// the buffer. The word-address acknowledges are not enforced here. It is also the check after
// programming, as a pass of its own, so that the programming keeps its exact bus sequence.
[[nodiscard]] CompareOutcome CompareMemory(LineDriver& lines, const CurrentMemory& memory,
                                           const Buffer& buffer, std::span<uint8_t> scratch,
                                           const ProgressCallback& progress);

// Progress steps: the bar moves at index i when i % step == step - 1.
[[nodiscard]] uint32_t ReadProgressStep(uint32_t capacity);
[[nodiscard]] uint32_t ByteProgramProgressStep(uint32_t capacity);

}  // namespace keldar
