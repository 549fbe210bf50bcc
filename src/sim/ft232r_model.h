// An FT232R cable in synchronous bit-bang mode between the program and a simulated reader, as
// FTDI documents the chip: its 128-byte receive buffer (bytes from the host) and 256-byte
// transmit buffer (samples for the host) (FT232R datasheet, "FIFO RX Buffer", "FIFO TX Buffer");
// one byte clocked per tick of the baud generator's 16x clock, the pins sampled just before the
// byte is driven, and only while the transmit buffer has room (knowledge base, "Synchronous Bit
// Bang Mode"); samples sent in 64-byte USB packets that start with two status bytes, a full
// packet as soon as 62 samples wait, a short one when the latency timer expires (AN232B-04);
// and a configurable time per USB round trip. Bytes reach the reader's lines at the instants the
// chip clocks them, so the memory's timing check and its trace see the real byte timing. The
// clock is the model's own: nothing sleeps.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>

#include "hw/bitbang_link.h"
#include "sim/sim_port.h"

namespace keldar::sim {

class Ft232rModel final : public BitBangLink {
 public:
  struct Counters {
    uint64_t transfers = 0;     // USB transfers the host made: control requests, writes, reads
    uint64_t packetsOut = 0;    // bulk packets of bytes to the chip
    uint64_t packetsIn = 0;     // packets of samples to the host, status-only ones included
    uint64_t bytesClocked = 0;  // bytes driven on the pins
    uint64_t stalls = 0;        // times the chip stopped, bytes waiting, its samples unread
  };

  // clockPercent: the bytes clocked at this share of the rate the baud divisor gives.
  Ft232rModel(std::unique_ptr<SimulatedReader> reader, uint64_t usbRoundTripNs,
              uint32_t clockPercent = 100);
  ~Ft232rModel() override;
  Ft232rModel(const Ft232rModel&) = delete;
  Ft232rModel& operator=(const Ft232rModel&) = delete;

  bool Purge() override;
  bool SetLatencyTimer(uint8_t ms) override;
  bool SetBitMode(uint8_t outputs) override;
  bool SetBaudRate(uint32_t baud) override;
  bool Submit(std::span<const uint8_t> bytes) override;
  bool Collect(std::span<uint8_t> samples) override;
  void Pause(uint32_t milliseconds) override;
  uint64_t NowNs() override { return now_; }

  // The cable is pulled out at the n-th USB transfer from now on (counting from 1); 0 never.
  void PullOutAt(uint64_t transfer) {
    failFrom_ = transfer == 0 ? 0 : counters_.transfers + transfer;
  }

  SimulatedReader& reader() { return *reader_; }
  uint64_t clock() const { return now_; }  // modelled nanoseconds since opening
  // The largest number of bytes the host had written whose samples it had not read back.
  uint64_t mostBytesInFlight() const { return mostInFlight_; }
  uint64_t tickNs() const { return tickNs_; }  // one byte on the pins
  const Counters& counters() const { return counters_; }

 private:
  static constexpr size_t kPacketBytes = 64;
  struct Packet {
    uint64_t at;  // when it can enter the chip (out) or reaches the host (in)
    size_t size;
    std::array<uint8_t, kPacketBytes> bytes;
  };
  template <size_t N>
  class Fifo {
   public:
    size_t size() const { return count_; }
    size_t room() const { return N - count_; }
    void Push(uint8_t byte) { bytes_[(head_ + count_++) % N] = byte; }
    uint8_t Pop() {
      const uint8_t byte = bytes_[head_];
      head_ = (head_ + 1) % N;
      --count_;
      return byte;
    }
    void Clear() { head_ = count_ = 0; }

   private:
    std::array<uint8_t, N> bytes_{};
    size_t head_ = 0;
    size_t count_ = 0;
  };
  enum class Event : uint8_t { None, Deliver, Tick, Send, Arrive };
  struct Next {
    uint64_t at;
    Event event;
  };

  bool Transfer();
  [[nodiscard]] Next NextEvent() const;
  void Process(const Next& next);
  void Tick();
  void SendPacket();
  void DriveReader();

  std::unique_ptr<SimulatedReader> reader_;
  uint64_t roundTripNs_;
  uint64_t failFrom_ = 0;
  uint32_t clockPercent_;
  bool pulledOut_ = false;
  uint64_t now_ = 0;

  // The chip.
  bool syncMode_ = false;
  uint8_t outputs_ = 0;
  uint8_t latch_ = 0xFF;  // the byte last driven
  uint64_t tickNs_;
  uint64_t lastTick_ = 0;
  bool ticked_ = false;
  uint64_t latencyNs_;
  uint64_t lastPacketIn_ = 0;  // the latency timer counts from here
  Fifo<128> received_;         // bytes from the host, waiting for their tick
  Fifo<256> samples_;          // samples waiting for the host

  // The USB and the host.
  std::deque<Packet> out_;
  std::deque<Packet> in_;
  std::deque<uint8_t> host_;  // samples at the host, status bytes stripped
  bool reading_ = false;      // a read transfer is pending: the chip may send

  Counters counters_;
  uint64_t written_ = 0;  // bytes the host submitted
  uint64_t read_ = 0;     // samples the host collected
  uint64_t mostInFlight_ = 0;
};

}  // namespace keldar::sim
