// Transactions carried out by an adapter that speaks I2C itself (Linux's i2c-dev, I2cBus): a
// write segment and the read segment after it (a random read) one transfer under one stop, its
// bytes in the chunks the adapter takes; any other write segment one message, cut into aligned
// pieces when the adapter refuses it whole; a device byte alone one poll. The adapter powers and
// drives nothing but the bus: it sends no resynchronisation pulses, and there is no line to
// check.
//
// The adapter either carries a whole message or ends its transfer at the byte refused, with one
// errno for all of it. So a refusal always ends the transaction, even where a segment asked to
// go on past it, and is placed where the transfers can tell: at the control byte when nothing
// answers the address, at the first word-address byte when a read is refused after its address,
// at the first data byte when a write is.
#pragma once

#include "hw/i2c_message.h"
#include "hw/i2c_transfers.h"
#include "i2c/bus_executor.h"

namespace keldar {

class I2cDevExecutor final : public BusExecutor {
 public:
  explicit I2cDevExecutor(I2cBus& bus) : transfers_(bus) {}

  // The memory sits on the adapter's board, powered by it.
  bool PowerOnAndCheck() override { return true; }
  void PowerOff() override {}
  TransactionResult Execute(const Transaction& transaction) override;
  // Polls for the time at24 allows (kWriteCycleBound), not a count of attempts.
  bool WaitWriteCycle(uint8_t control) override;
  bool PortFailed() const override { return failed_; }
  void ClearPortFailure() override { failed_ = false; }

 private:
  struct ReadState;
  [[nodiscard]] I2cReport Read(uint8_t address, std::span<const uint8_t> wordAddress,
                               std::span<uint8_t> in, ReadState& state);
  // The refusal of a report that is no success, placed in segment s; a failed adapter is noted.
  [[nodiscard]] std::optional<RefusedByte> Placed(const I2cReport& report, size_t s,
                                                  const Segment& segment);

  I2cTransfers transfers_;
  bool failed_ = false;
};

}  // namespace keldar
