// Transfers to one memory through a message-level I2C adapter (i2c-dev): a read in chunks the
// adapter takes, a write cut into aligned pieces when the adapter refuses it whole, the write
// cycle awaited by polling bounded in time, and every failure typed. The kernel reports one errno
// for a whole transfer and its drivers do not agree on them (Documentation/i2c/fault-codes.rst
// asks for ENXIO on an unacknowledged address; i2c-algo-bit gives EIO for a refused data byte,
// i2c-bcm2835 and i2c-designware EREMOTEIO for either, hid-cp2112 ETIMEDOUT for either): where the
// errno does not tell, a poll of the address does.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "hw/i2c_message.h"

namespace keldar {

enum class I2cResult : uint8_t {
  Ok,
  NoDeviceAck,        // the memory did not acknowledge its address
  AddressRefused,     // it acknowledged its address, then refused the word address (a read)
  DataRefused,        // it acknowledged its address, then refused a byte (a write)
  WriteCycleTimeout,  // it did not acknowledge again within kWriteCycleBound of a write
  Unsupported,        // the adapter refuses the transfer even cut to its smallest pieces
  PortFailed,         // the adapter stopped answering: pulled out, or its driver failed
};

struct I2cReport {
  I2cResult result = I2cResult::Ok;
  int error = 0;  // the errno that decided, 0 when none
};

// The write-cycle bound of Linux's at24 driver (drivers/misc/eeprom/at24.c, write_timeout,
// 25 ms: "Specs often allow 5 msec for a page write, sometimes 20 msec"): two and a half times
// the longest write cycle of the catalogue's datasheets (10 ms, the 24M02).
inline constexpr std::chrono::milliseconds kWriteCycleBound{25};
// Between two polls: a USB adapter's round trip takes longer anyway; a native one polls often
// enough to lose at most this much of each write cycle.
inline constexpr std::chrono::microseconds kPollPause{250};

class I2cTransfers {
 public:
  // Called with the bytes read so far after each chunk but the last; false ends the read there.
  using Progress = std::function<bool(size_t done)>;

  explicit I2cTransfers(I2cBus& bus);

  // Writes the word address, then reads destination's bytes after a repeated start (an empty
  // word address: a current-address read). Reads longer than the adapter takes in one call go
  // on from where the memory's address counter stands, one chunk a call.
  [[nodiscard]] I2cReport Read(uint8_t address, std::span<const uint8_t> wordAddress,
                               std::span<uint8_t> destination, const Progress& progress = {});

  // One write of the word address and the data, which stay inside one page of the memory. An
  // adapter that refuses it whole gets aligned pieces, the word address's last byte advanced for
  // each, each piece's write cycle awaited before the next; the last one's is the caller's.
  [[nodiscard]] I2cReport Write(uint8_t address, std::span<const uint8_t> wordAddress,
                                std::span<const uint8_t> data);

  // Polls the address until the memory acknowledges it, for kWriteCycleBound and as many polls as
  // it holds pauses: an empty write when the adapter offers one (I2C_FUNC_SMBUS_QUICK), a one-byte
  // read otherwise.
  [[nodiscard]] I2cReport WaitReady(uint8_t address);

  // One poll as WaitReady makes them: Ok when something acknowledges the address, NoDeviceAck
  // when nothing does.
  [[nodiscard]] I2cReport Probe(uint8_t address);

  // What the adapter was found to take, for tests and traces: 0 while nothing was refused.
  [[nodiscard]] size_t readChunk() const { return readChunk_; }
  [[nodiscard]] size_t writePiece() const { return writePiece_; }

 private:
  enum class Phase : uint8_t { Read, Write };
  [[nodiscard]] int Poll(uint8_t address);
  [[nodiscard]] I2cReport Failure(Phase phase, int error, uint8_t address);
  [[nodiscard]] I2cReport WritePieces(uint8_t address, std::span<const uint8_t> wordAddress,
                                      std::span<const uint8_t> data);

  I2cBus& bus_;
  size_t readChunk_ = kI2cMaxMessageLength;
  size_t writePiece_ = 0;  // 0: whole writes
  bool emptyPolls_;
};

}  // namespace keldar
