// The memory operations as the window and keldar-cli run them: read, program (the whole memory,
// then its read back, or the selected byte) and compare. Each works on a copy of what it needs,
// taken when it starts, so that it can run away from the state it came from; it reports its
// phases, the progress bar's points, the bytes done with the time left, and a typed outcome that
// the front ends turn into texts. A stop request is honoured only where stopping harms nothing.
// Identifying the part fitted is run the same way.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "hw/linemap.h"
#include "hw/port.h"
#include "hw/port_refusal.h"
#include "i2c/bus_executor.h"
#include "i2c/catalogue.h"
#include "i2c/identify.h"
#include "i2c/operations.h"
#include "i2c/reader_device.h"
#include "session/stop_request.h"

namespace keldar {

enum class OperationKind : uint8_t { Read, ProgramMemory, ProgramByte, Compare, Identify };
enum class OperationPhase : uint8_t { Reading, Programming, Verifying, Comparing, Identifying };

struct OperationRequest {
  OperationKind kind = OperationKind::Read;
  CurrentMemory memory;
  LineMap lineMap;
  // Programming and compare: the first capacity bytes of the buffer. The identification takes
  // only the base address of memory.
  std::vector<uint8_t> data;
  bool verify = true;  // programming the whole memory: read it back and compare
  // Read, program and compare: only these addresses, which lie inside the capacity; empty: the
  // whole memory.
  std::optional<AddressRange> range;
  // Compare: where the memory is read to; empty: the service takes its own (outcome.memory).
  std::span<uint8_t> scratch;
};

class OperationObserver {
 public:
  virtual ~OperationObserver() = default;
  // A phase begins; the bar runs from 0 to barMaximum.
  virtual void PhaseStarted(OperationPhase phase, uint32_t barMaximum) = 0;
  // The bar's points, by the phase's progress rule.
  virtual void BarMoved(uint32_t value) = 0;
  // After every byte (every page in page mode): done of total bytes of the phase, and the time
  // the whole operation still needs, once it can be told.
  virtual void BytesDone(uint32_t done, uint32_t total,
                         std::optional<std::chrono::seconds> left) = 0;
};

struct OperationOutcome {
  OperationKind kind = OperationKind::Read;
  uint32_t capacity = 0;
  // The addresses read, programmed or compared: the whole memory unless the request named a
  // range. The bytes done, the totals in the texts and the bytes below count in it.
  AddressRange range;
  ReadOutcome read;                      // Read
  ProgramOutcome program;                // ProgramMemory, ProgramByte
  std::optional<CompareOutcome> verify;  // ProgramMemory, after a programming that succeeded
  CompareOutcome compare;                // Compare
  IdentifyOutcome identify;              // Identify
  // Read: the memory's bytes (of the range), when the read succeeded. Compare without a scratch
  // of the caller's: the bytes read (compare.bytesCompared of them).
  std::vector<uint8_t> memory;
  // Read: the period at which the bytes read repeat themselves (a type larger than the part),
  // 0 when they do not or are uniform.
  uint32_t repeatsEvery = 0;
  // Why the I2C adapter may not be used with this memory now: nothing was sent.
  std::optional<PortRefusal> refusal;

  // The user's stop ended it (a failed port or transfer is reported as such instead).
  [[nodiscard]] bool stopped() const;
  [[nodiscard]] bool succeeded() const;
};

class OperationService {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // clock: where the time left is measured; empty: the steady clock.
  explicit OperationService(Clock clock = {}) : clock_(std::move(clock)) {}

  // Runs one operation on an open port. Powers the memory on and off; leaves the port open.
  [[nodiscard]] OperationOutcome Run(ControlPort& port, const OperationRequest& request,
                                     OperationObserver& observer, const StopRequest& stop) const;
  // The same on an open port or I2C adapter, the adapter checked again first (checkUse).
  [[nodiscard]] OperationOutcome Run(const ReaderDevice& device, const OperationRequest& request,
                                     OperationObserver& observer, const StopRequest& stop) const;

 private:
  // onBoard: the memory sits on a board, where other parts may answer the identification.
  [[nodiscard]] OperationOutcome Run(BusExecutor& bus, bool onBoard,
                                     const OperationRequest& request, OperationObserver& observer,
                                     const StopRequest& stop) const;

  Clock clock_;
};

}  // namespace keldar
