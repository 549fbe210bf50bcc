// The reader on an FTDI cable in synchronous bit-bang mode: every line change is one byte of a
// stream (a repeated level or an access-time read too, as a repeated call would be on a serial
// port), and for each byte the chip sends back a sample of its pins.
//
// What the stream keeps to, on a real FT232R:
// - Transfers of at most 64 bytes, and at most 128 bytes written whose samples are not yet read
//   back: OpenOCD's ft232r driver (src/jtag/drivers/ft232r.c) writes 64 bytes at most because
//   larger transfers "frequently cause hang ups", and keeps no more than its 128 bytes of the
//   chip's receive buffer unanswered; avrdude's ft245r (src/ft245r.c, FT245R_MIN_FIFO_SIZE) keeps
//   at most 128 bytes pending. With no more than the receive buffer in flight, the chip never
//   has to wait for room for its samples in its 256-byte transmit buffer.
// - A byte lasts one tick of the bit-bang clock or longer, never less: the FT232R's bit-bang
//   pulse widths vary (FTDI TN_120, the FT232R errata, quoted by avrdude's ft245r.c; measured at
//   60 us to 1 ms for a 15.6 us tick on blog.bitheap.net, "FT232R BitBang mode is broken"), so
//   the programmed tick is the shortest bus phase and the memory's timings hold.
// - The clock itself is measured at opening rather than trusted: libftdi multiplies a bit-bang
//   rate by 4 (ftdi_set_baudrate: "bitbang baudrates are automatically multiplied by 4") while
//   FTDI's documents give 16 ticks a baud (libftdi's own examples/baud_test.c divides by 16); a
//   rate read the other way is four times off.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "hw/bitbang_link.h"
#include "hw/port.h"
#include "hw/port_refusal.h"

namespace keldar {

// Bytes per second. One byte is the shortest SCL phase, and a 100 kHz part wants SCL low for
// 4.7 us: 200 kHz (5 us a byte) keeps it within its timings with 6 % to spare. The access time
// lengthens every output phase by whole bytes, as it adds calls on a serial port.
inline constexpr uint32_t kDefaultBitBangRate = 200'000;
// In bit-bang mode a byte is clocked at every tick of the baud generator's 16x clock (FTDI).
inline constexpr uint32_t kBitBangTicksPerBaud = 16;
inline constexpr size_t kBitBangTransferBytes = 64;
inline constexpr size_t kBitBangBytesInFlight = 128;
// A clock measured this much faster than asked is corrected, or refused when it stays so.
inline constexpr double kBitBangTooFast = 1.25;

class BitBangPort final : public ControlPort {
 public:
  explicit BitBangPort(std::unique_ptr<BitBangLink> link);
  // The queued changes are driven before the link closes.
  ~BitBangPort() override;
  BitBangPort(const BitBangPort&) = delete;
  BitBangPort& operator=(const BitBangPort&) = delete;

  enum class StartOutcome : uint8_t { Started, NoAnswer, ClockTooFast };
  // Sets the chip up (buffers purged, latency timer 1 ms, synchronous bit-bang on TxD, RTS and
  // DTR), drives every output to its idle level (TxD not in break, RTS and DTR negated: the
  // reader unpowered whatever its wiring), then measures with idle bytes only: the chip's clock
  // at a 32nd of `rate`, where the clock and not USB bounds the stream, corrected when it runs
  // faster than asked; then the rate the stream reaches at `rate`.
  [[nodiscard]] StartOutcome Start(uint32_t rate);

  // As a serial port: a change is one byte sent at once; a read is one byte whose sample is
  // waited for, a USB round trip.
  bool SetLine(OutputLine line, bool asserted) override;
  bool ReadInputs(InputLevels& levels) override;
  // Sends what is queued and waits for its samples first.
  void Sleep(uint32_t milliseconds) override;

  // The stream, for the stream executor. A byte that keeps the outputs as they are; with
  // `sampled`, its sample joins those NextSample hands out, in the order they were asked for.
  void QueueChange(OutputLine line, bool asserted) { Queue(Changed(line, asserted), false); }
  void QueueHold(bool sampled) { Queue(pins_, sampled); }
  // Every queued byte sent and every sample received. False once the link has failed.
  bool Flush();
  // The oldest sample asked for and not yet handed out, waited for when it has not arrived.
  [[nodiscard]] bool NextSample(InputLevels& inputs);
  // Samples asked for that have arrived and are not handed out yet.
  [[nodiscard]] size_t SamplesReady() const { return ready_.size(); }
  [[nodiscard]] bool failed() const { return failed_; }

  // Bytes per second: asked at opening, and reached by the stream of idle bytes then.
  [[nodiscard]] uint32_t askedRate() const { return askedRate_; }
  [[nodiscard]] uint32_t measuredRate() const { return measuredRate_; }

 private:
  [[nodiscard]] uint8_t Changed(OutputLine line, bool asserted) {
    const uint8_t pin = PinOf(line);
    pins_ = static_cast<uint8_t>(asserted ? (pins_ & ~pin) : (pins_ | pin));
    return pins_;
  }
  void Queue(uint8_t byte, bool sampled);
  bool Submit();
  bool CollectOldest();
  bool Fail();
  bool SetRate(uint32_t rate);
  [[nodiscard]] double MeasureRate(uint32_t rate);

  std::unique_ptr<BitBangLink> link_;
  uint8_t pins_ = 0xFF;
  uint32_t askedRate_ = 0;
  uint32_t measuredRate_ = 0;
  uint32_t correction_ = 1;        // the chip's clock divided by this to run at the rate asked
  std::vector<uint8_t> queued_;    // bytes not yet submitted
  std::deque<size_t> inFlight_;    // sizes of the transfers submitted, oldest first
  size_t inFlightBytes_ = 0;       // their total
  std::deque<uint64_t> wanted_;    // stream indices of the samples asked for, not yet received
  std::deque<InputLevels> ready_;  // samples received, not yet handed out
  std::vector<uint8_t> samples_;   // scratch for one transfer's samples
  uint64_t submitted_ = 0;         // stream index of the next byte submitted
  uint64_t collected_ = 0;         // stream index of the next sample to collect
  bool failed_ = false;
};

// The port over an open link, started at `rate`; refused when the adapter does not answer or
// its clock cannot be brought down to the rate asked.
[[nodiscard]] PortOpening StartBitBangPort(std::unique_ptr<BitBangLink> link, uint32_t rate);

}  // namespace keldar
