// A 24Cxx (or X24C01) memory as a line-level I2C slave. It sees only what its pins see: power,
// SCL edges and SDA edges while SCL is high (start and stop). It samples bits on SCL rising,
// drives its acknowledge and its data after SCL falls, and only ever pulls SDA low (open drain).
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/sim_config.h"

namespace keldar::sim {

// The largest page buffer of the catalogue's parts (the 24M01's and 24M02's).
inline constexpr uint32_t kLargestPage = 256;

// What the memory saw and did, for assertions.
struct EepromCounters {
  uint64_t starts = 0;              // start conditions seen while powered
  uint64_t stops = 0;               // stop conditions seen while powered
  uint64_t addressed = 0;           // device (X24C01: control) bytes acknowledged
  uint64_t pollsRefused = 0;        // device bytes refused because a write cycle was running
  uint64_t bytesRefused = 0;        // bytes refused by an injected fault (wp, refuse, nack)
  uint64_t writeCyclesStarted = 0;  // write cycles started by a valid stop
  uint64_t writesAborted = 0;       // latched data dropped: start or stop mid-byte, power loss
  uint64_t writesInhibited = 0;     // wp=ack: a valid stop that started no write cycle
  uint64_t bytesSent = 0;           // data bytes shifted out to the master
};

class SimulatedEeprom {
 public:
  // faults must outlive the memory; it is read at every event.
  SimulatedEeprom(int32_t typeIndex, int32_t pins, const SimFaults& faults,
                  ChipVariant variant = {});

  int32_t typeIndex() const { return typeIndex_; }
  uint32_t capacity() const { return capacity_; }
  std::span<uint8_t> contents() { return cells_; }
  std::span<const uint8_t> contents() const { return cells_; }
  const EepromCounters& counters() const { return counters_; }
  // The internal address counter: the next byte a current-address read gives.
  uint32_t addressCounter() const { return counter_; }
  void SetWriteCycleTime(uint64_t ns) { writeCycleNs_ = ns; }

  // Events at the pins; now is the simulated time in nanoseconds.
  void PowerUp();
  void PowerDown(uint64_t now);
  void SclRose(bool sda, uint64_t now);
  void SclFell(uint64_t now);
  void StartCondition(uint64_t now);
  void StopCondition(uint64_t now);

  // True while the memory pulls SDA low (acknowledge or a 0 data bit).
  bool pullsSdaLow() const { return pull_; }
  // True while the memory, not the master, owns SDA: one of its data bits or its acknowledge.
  bool drivesSda() const {
    return state_ == State::ReceiveAck || (state_ == State::Transmit && bits_ < 8);
  }
  // Completes a write cycle whose time is over; true while one is still running.
  bool WriteCycleRunning(uint64_t now);

 private:
  enum class State : uint8_t { Idle, Receive, ReceiveAck, Transmit };
  enum class Phase : uint8_t { Device, AddressHigh, AddressLow, Data };

  void ByteReceived(uint64_t now);
  bool AcceptFirstByte(uint8_t byte, uint64_t now);
  bool AcceptDataByte(uint8_t byte);
  void LoadNextByte();
  void DropLatched();
  void CommitWriteCycle();

  const SimFaults& faults_;
  int32_t typeIndex_;
  uint8_t pins_;
  uint32_t capacity_;
  uint32_t pageSize_;
  uint32_t readSpan_;  // where a sequential read wraps: the memory, or one block
  int addressBytes_;
  bool x24c01_;
  std::vector<uint8_t> cells_;
  uint64_t writeCycleNs_ = kDefaultWriteCycleNs;

  // Bus state machine, reset by power loss.
  State state_ = State::Idle;
  Phase phase_ = Phase::Device;
  bool pull_ = false;
  bool readNext_ = false;   // ReceiveAck: the byte just acknowledged asked for a read
  bool masterAck_ = false;  // Transmit: what the master answered on the ninth clock
  int bits_ = 0;            // SCL rises counted in the current byte
  uint8_t shift_ = 0;
  uint32_t bytesInTransfer_ = 0;
  uint32_t counter_ = 0;
  uint32_t pendingHigh_ = 0;   // high address bits received, loaded with the low byte
  uint32_t pendingBlock_ = 0;  // bits 16 and up, from the device byte of a part above 64 KiB

  // Page buffer: data bytes latched since the address phase, written by a valid stop.
  uint32_t pageBase_ = 0;
  std::array<uint8_t, kLargestPage> page_{};
  std::bitset<kLargestPage> latched_;

  // Write cycle.
  bool busy_ = false;
  uint64_t busyUntil_ = 0;
  int64_t refusedThisCycle_ = 0;
  std::array<uint8_t, kLargestPage> pending_{};
  std::bitset<kLargestPage> pendingMask_;
  uint32_t pendingBase_ = 0;

  EepromCounters counters_;
};

}  // namespace keldar::sim
