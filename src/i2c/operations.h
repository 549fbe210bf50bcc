// The three user operations between the buffer and the memory: read, program (whole memory or
// the selected byte) and compare, on any executor. Each powers the memory, checks that SDA reads
// high, runs the block transfers, and powers the memory off on every path. Results only: the
// window turns them into messages.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "i2c/blockio.h"
#include "i2c/bus_executor.h"
#include "i2c/catalogue.h"

namespace keldar {

// Moves the progress bar to this value (read and compare: 0..capacity-1; program:
// 0..capacity).
using ProgressCallback = std::function<void(uint32_t value)>;

// What a long operation needs beside its bar: the bytes done so far, and a stop request that the
// operation honours only where stopping harms nothing. Both may be left empty.
struct OperationControl {
  // Read and compare: bytes received; programming: bytes written with their write cycle over.
  std::function<void(uint32_t bytes)> bytesDone;
  // Asked once per byte (per page in page mode). A read stops at the byte it is about to
  // receive, which it does not acknowledge; a programming stops only between two blocks.
  std::function<bool()> stopRequested;
};

struct ReadOutcome {
  BlockResult result = BlockResult::Ok;  // Ok, NoDeviceAck (also a failed line check), 2 or 3
  bool portFailed = false;               // a port call failed: nothing read is trusted
  bool stopped = false;                  // stopped on request after bytesRead bytes
  uint32_t bytesRead = 0;
  [[nodiscard]] bool succeeded() const {
    return result == BlockResult::Ok && !portFailed && !stopped;
  }
};

struct ProgramOutcome {
  BlockResult result = BlockResult::Ok;
  bool portFailed = false;    // the transfers stopped at the block where a port call failed
  bool stopped = false;       // stopped on request between two blocks: nothing is half written
  uint32_t lastAddress = 0;   // start address of the last block attempted
  uint32_t firstAddress = 0;  // where the programming began: 0 for the whole memory
  // Addresses firstAddress to firstAddress + bytesWritten - 1 are written, their cycles over.
  uint32_t bytesWritten = 0;
  [[nodiscard]] bool succeeded() const {
    return result == BlockResult::Ok && !portFailed && !stopped;
  }
};

struct CompareOutcome {
  bool reachable = false;      // false: communication error, no count
  bool stopped = false;        // stopped on request: only the first bytesCompared bytes count
  uint32_t bytesCompared = 0;  // from the first address compared
  uint32_t differences = 0;
  uint32_t firstDifference = 0;  // the lowest differing address, when differences > 0
  [[nodiscard]] bool same() const { return reachable && !stopped && differences == 0; }
};

// Whole memory into into[0, capacity). The bytes reach `into` only when the whole read
// succeeded; on failure or stop it is untouched.
[[nodiscard]] ReadOutcome ReadMemory(BusExecutor& bus, const CurrentMemory& memory,
                                     std::span<uint8_t> into, const ProgressCallback& progress,
                                     const OperationControl& control = {});

// Whole memory from data[0, capacity): page mode when memory.pageMode or when the type has no
// byte mode; the first failing block ends it, what was written before stays written.
[[nodiscard]] ProgramOutcome ProgramMemory(BusExecutor& bus, const CurrentMemory& memory,
                                           std::span<const uint8_t> data,
                                           const ProgressCallback& progress,
                                           const OperationControl& control = {});

// The byte under the grid's cursor. A cursor outside the capacity sends nothing and gives
// NotStarted, so that it is never reported as programmed. One byte: it cannot be stopped.
[[nodiscard]] ProgramOutcome ProgramSelectedByte(BusExecutor& bus, const CurrentMemory& memory,
                                                 std::span<const uint8_t> data);

// Reads the memory into scratch (at least capacity bytes) and counts the bytes that differ from
// expected. The word-address acknowledges are not enforced here. It is also the check after
// programming, as a pass of its own, so that the programming keeps its exact bus sequence.
[[nodiscard]] CompareOutcome CompareMemory(BusExecutor& bus, const CurrentMemory& memory,
                                           std::span<const uint8_t> expected,
                                           std::span<uint8_t> scratch,
                                           const ProgressCallback& progress,
                                           const OperationControl& control = {});

// Only the addresses of range, which lies inside the capacity; data, into, expected and scratch
// hold the range's bytes, the first at index 0, and the bar's values and the bytes done count from
// the range's start. The whole memory goes as ReadMemory, ProgramMemory and CompareMemory go.
//
// Reads the range by random reads (a dummy write of its first address, a repeated start, the
// bytes): one per span that a sequential read runs through, each half of a 24LC1025 and each
// 256-byte block of a memory of one address byte, since some such parts keep a read inside the
// block their device byte selected. The X24C01's reads begin at address 0: it is read from there.
[[nodiscard]] ReadOutcome ReadRange(BusExecutor& bus, const CurrentMemory& memory,
                                    AddressRange range, std::span<uint8_t> into,
                                    const ProgressCallback& progress,
                                    const OperationControl& control = {});
// Writes the range and no byte outside it: whole pages inside it, and at its ends partial page
// writes of the bytes that lie inside the range and their page (a page write changes only the
// bytes it sends); every byte alone in byte mode.
[[nodiscard]] ProgramOutcome ProgramRange(BusExecutor& bus, const CurrentMemory& memory,
                                          AddressRange range, std::span<const uint8_t> data,
                                          const ProgressCallback& progress,
                                          const OperationControl& control = {});
// Reads the range as ReadRange does, without enforcing the word-address acknowledges, and
// compares it with expected; firstDifference is a memory address.
[[nodiscard]] CompareOutcome CompareRange(BusExecutor& bus, const CurrentMemory& memory,
                                          AddressRange range, std::span<const uint8_t> expected,
                                          std::span<uint8_t> scratch,
                                          const ProgressCallback& progress,
                                          const OperationControl& control = {});

// Progress steps: the bar moves at index i when i % step == step - 1.
[[nodiscard]] uint32_t ReadProgressStep(uint32_t capacity);
[[nodiscard]] uint32_t ByteProgramProgressStep(uint32_t capacity);

}  // namespace keldar
