// Transactions carried out by the bit routines on the line primitives: one port call per line
// change on a serial port or the simulated reader, each acknowledge known before the next byte.
// A refusal that ends the transaction is followed by the stop at once.
#pragma once

#include "hw/line_driver.h"
#include "i2c/bus_executor.h"
#include "i2c/i2c.h"

namespace keldar {

class LineExecutor final : public BusExecutor {
 public:
  LineExecutor(const LineMap& map, ControlPort& port) : lines_(map, port), bus_(lines_) {}

  bool PowerOnAndCheck() override;
  void PowerOff() override { lines_.PowerOff(); }
  TransactionResult Execute(const Transaction& transaction) override;
  bool WaitWriteCycle(uint8_t control) override;
  bool PortFailed() const override { return lines_.PortFailed(); }
  void ClearPortFailure() override { lines_.ClearPortFailure(); }

  // Its primitives, for tests and tools that drive lines between transactions.
  LineDriver& lines() { return lines_; }

 private:
  LineDriver lines_;
  I2cMaster bus_;
};

}  // namespace keldar
