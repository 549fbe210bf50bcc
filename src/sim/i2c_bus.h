// A simulated memory on an I2C bus that an adapter drives message by message, as a Linux i2c-dev
// adapter does: each message's start (a repeated start after the first), its address byte and
// its bytes clocked one bit at a time into the line-level memory, the acknowledges as the memory
// gives them, and one stop at the end. Time advances with every clock at the bus rate (speed=,
// 100 kHz unless told); the memory is always powered, by its board.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "hw/i2c_message.h"
#include "sim/eeprom.h"
#include "sim/sim_config.h"

namespace keldar::sim {

// What became of a transfer: carried out, or ended at the first refused byte by a stop.
struct I2cBusOutcome {
  enum class Refusal : uint8_t { None, Address, Data };
  Refusal refusal = Refusal::None;
  size_t message = 0;  // the message whose byte was refused
};

class SimulatedI2cBus {
 public:
  // The memory of config: its type, pins, faults and write cycle; absent or noreader leave the
  // bus empty. The reader's wiring, its port costs and its adapter play no part.
  explicit SimulatedI2cBus(const SimConfig& config);
  // Saves the memory into the image file when one was loaded.
  ~SimulatedI2cBus();
  SimulatedI2cBus(const SimulatedI2cBus&) = delete;
  SimulatedI2cBus& operator=(const SimulatedI2cBus&) = delete;

  I2cBusOutcome Transfer(std::span<const I2cMessage> messages);
  // Lets time pass without bus activity.
  void Advance(uint64_t ns) { now_ += ns; }

  uint64_t clock() const { return now_; }  // simulated nanoseconds since opening
  uint64_t bits() const { return bits_; }  // clock pulses so far, acknowledges included
  std::span<uint8_t> memory();
  const EepromCounters& counters() const { return eeprom_.counters(); }
  SimFaults& faults() { return config_.faults; }

  // As the simulated reader's: a missing file is a fresh memory; false and a French message.
  [[nodiscard]] bool LoadImage(std::string& error);
  [[nodiscard]] bool SaveImage(std::string& error);

 private:
  void Start(bool repeated);
  void Stop();
  bool SendByte(uint8_t byte);
  uint8_t ReceiveByte(bool acknowledge);
  // One clock pulse with the master's SDA level; the level on the bus (the wired AND with the
  // memory's) in return.
  bool Clock(bool masterSda);
  bool Bus(bool masterSda) const { return masterSda && !(present_ && eeprom_.pullsSdaLow()); }

  SimConfig config_;
  SimulatedEeprom eeprom_;
  bool present_;
  uint64_t halfPeriodNs_;
  uint64_t now_ = 0;
  uint64_t bits_ = 0;
  bool saveOnClose_ = false;
};

// Opens a simulated I2C memory from a "sim:" string; nullptr and a French message when the
// string is refused or the image cannot be read.
[[nodiscard]] std::unique_ptr<SimulatedI2cBus> OpenSimulatedI2cBus(std::string_view device,
                                                                   std::string& error);

}  // namespace keldar::sim
