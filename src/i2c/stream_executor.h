// Transactions carried out as an FT232R's byte stream: the same bit routines, each line change
// one byte of the stream, every sample read back afterwards. The stream waits for the chip's
// answers only where the transaction needs them: before a repeated start follows bytes whose
// refusal would end it (the memory would answer the new start), before the word address of a
// random read (a refused device byte gets its stop alone), and before a read asks its progress.
// Elsewhere the bytes after a refused one go out anyway, the rest of a page write: a memory that
// refuses a byte ignores the bus until the next start, and a stop after a refused byte starts no
// write, so the result is the line-level executor's.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "hw/bitbang_port.h"
#include "hw/stream_lines.h"
#include "i2c/bus_executor.h"
#include "i2c/i2c.h"

namespace keldar {

class StreamExecutor final : public BusExecutor {
 public:
  StreamExecutor(const LineMap& map, BitBangPort& port) : lines_(map, port), bus_(lines_) {}

  bool PowerOnAndCheck() override;
  void PowerOff() override { lines_.PowerOff(); }
  TransactionResult Execute(const Transaction& transaction) override;
  bool WaitWriteCycle(uint8_t control) override;
  // A cable that failed stays failed: every later transfer fails as well.
  bool PortFailed() const override { return port_.failed(); }
  void ClearPortFailure() override {}

 private:
  // What a sample answers: the acknowledge of a byte sent, or a bit of a byte received.
  struct Want {
    RefusedByte position;     // acknowledge: the byte it answers
    bool ends = false;        // acknowledge: its refusal ends the transaction
    uint8_t* into = nullptr;  // bit: the byte received, within the transaction's own span
    uint8_t bit = 0;
  };

  void Send(uint8_t value, bool refusalEnds, RefusedByte position);
  // Reads the samples that have arrived, or, when `wait`, all of them.
  void Decode(bool wait);
  // Every byte sent and answered when a refusal that ends the transaction may be pending; false
  // when one came, or the cable failed.
  [[nodiscard]] bool Resolve();
  // The one sample of a byte, after everything queued went out.
  [[nodiscard]] bool SampledSda(uint8_t& sda);

  StreamLines lines_;
  BitBangPort& port_ = lines_.port();
  BasicI2cMaster<StreamLines> bus_;
  std::deque<Want> wants_;
  size_t pendingEnds_ = 0;  // acknowledges not read yet whose refusal ends the transaction
  std::optional<RefusedByte> refused_;
};

}  // namespace keldar
