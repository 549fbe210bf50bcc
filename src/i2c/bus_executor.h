// What carries transactions out. The line-level executor runs the bit routines on a serial port
// or the simulated reader, one port call per line change; the stream executor turns the same
// line changes into an FT232R's byte stream; an adapter that speaks I2C itself (Linux's i2c-dev)
// takes each segment as one message of an I2C_RDWR call.
#pragma once

#include "i2c/transaction.h"

namespace keldar {

inline constexpr int kMaxWriteCyclePolls = 2500;

class BusExecutor {
 public:
  virtual ~BusExecutor() = default;

  // Powers the memory (the bus lines high, then the supply, then its rest) and checks that SDA
  // reads high. False when it reads low or a port call failed: the reader, the memory or the
  // wiring is wrong. An adapter without a supply line of its own answers true.
  [[nodiscard]] virtual bool PowerOnAndCheck() = 0;
  // The supply off, then the bus lines low, then its rest.
  virtual void PowerOff() = 0;

  [[nodiscard]] virtual TransactionResult Execute(const Transaction& transaction) = 0;

  // Acknowledge polling after a write: start, the control byte, stop, repeated until the memory
  // answers. True when it did within the executor's bound: kMaxWriteCyclePolls attempts on the
  // lines; a time on an adapter that cannot send one attempt right after the other.
  [[nodiscard]] virtual bool WaitWriteCycle(uint8_t control) = 0;

  // A port call failed since construction or the last ClearPortFailure: the adapter may be gone.
  [[nodiscard]] virtual bool PortFailed() const = 0;
  virtual void ClearPortFailure() = 0;
};

}  // namespace keldar
