// The reader on an FTDI cable in synchronous bit-bang mode: every line change and every status
// read of the serial port becomes one byte of a stream (a repeated level or an access-time read
// too, as a repeated call would be on a serial port), and each status read takes its value from
// the sample of its own byte. The bytes go out in large USB transfers, two ahead of the samples
// being read back, so the stream runs at the bit-bang clock; a status read the caller waits for
// (ReadInputs) costs a USB round trip.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "hw/bitbang_link.h"
#include "hw/port.h"

namespace keldar {

// Bytes per second. One byte is the shortest SCL phase, and a 100 kHz part wants SCL low for
// 4.7 us: 200 kHz (5 us a byte) keeps it within its timings with 6 % to spare. The access time
// lengthens every output phase by whole bytes, as it adds calls on a serial port.
inline constexpr uint32_t kDefaultBitBangRate = 200'000;
// In bit-bang mode a byte is clocked at every tick of the baud generator's 16x clock (FTDI).
inline constexpr uint32_t kBitBangTicksPerBaud = 16;

class BitBangPort final : public ControlPort {
 public:
  explicit BitBangPort(std::unique_ptr<BitBangLink> link);
  // The queued changes are driven before the link closes.
  ~BitBangPort() override;
  BitBangPort(const BitBangPort&) = delete;
  BitBangPort& operator=(const BitBangPort&) = delete;

  // Sets the chip up (buffers purged, latency timer 1 ms, synchronous bit-bang on TxD, RTS and
  // DTR, clock for `rate` bytes per second), drives every output to its idle level (TxD not in
  // break, RTS and DTR negated: the reader unpowered whatever its wiring) and reads the pins
  // back once. False when the adapter refuses the mode or does not answer.
  [[nodiscard]] bool Start(uint32_t rate);

  bool SetLine(OutputLine line, bool asserted) override;
  bool ReadInputs(InputLevels& levels) override;
  void Sleep(uint32_t milliseconds) override;
  bool DefersStatusReads() const override { return true; }
  bool ReadInputsLater(InputLevels& slot) override;
  bool Flush() override;

 private:
  struct Slot {
    uint64_t index;  // the byte whose sample answers it
    InputLevels* inputs;
  };
  void Queue(uint8_t byte);
  bool Submit();
  bool CollectOldest();
  bool Fail();

  std::unique_ptr<BitBangLink> link_;
  uint8_t pins_ = 0xFF;
  std::vector<uint8_t> queued_;   // bytes not yet submitted
  std::deque<size_t> inFlight_;   // sizes of the transfers submitted, oldest first
  std::deque<Slot> slots_;        // deferred reads, by byte
  std::vector<uint8_t> samples_;  // scratch for one transfer's samples
  uint64_t submitted_ = 0;        // stream index of the next byte submitted
  uint64_t collected_ = 0;        // stream index of the next sample to collect
  bool failed_ = false;
};

// The port over an open link, started at `rate`; nullptr when the adapter does not answer.
[[nodiscard]] std::unique_ptr<ControlPort> StartBitBangPort(std::unique_ptr<BitBangLink> link,
                                                            uint32_t rate);

}  // namespace keldar
