#include "sim/i2c_bus.h"

#include "i2c/catalogue.h"
#include "sim/image_file.h"

namespace keldar::sim {
namespace {

uint64_t ClockHz(BusSpeed speed) {
  switch (speed) {
    case BusSpeed::Fast400k:
      return 400'000;
    case BusSpeed::FastPlus1m:
      return 1'000'000;
    case BusSpeed::Standard100k:
    case BusSpeed::Unchecked:
      break;
  }
  return 100'000;
}

}  // namespace

SimulatedI2cBus::SimulatedI2cBus(const SimConfig& config)
    : config_(config),
      eeprom_(config.typeIndex, config.pins, config_.faults, config.variant),
      present_(!config.absent && !config.noReader),
      halfPeriodNs_(500'000'000U / ClockHz(config.speed)) {
  eeprom_.SetWriteCycleTime(config_.writeCycleNs);
  eeprom_.PowerUp();
}

SimulatedI2cBus::~SimulatedI2cBus() {
  if (saveOnClose_) {
    std::string ignored;
    (void)SaveImage(ignored);
  }
}

std::span<uint8_t> SimulatedI2cBus::memory() {
  (void)eeprom_.WriteCycleRunning(now_);  // a finished write cycle lands before anyone looks
  return eeprom_.contents();
}

bool SimulatedI2cBus::Clock(bool masterSda) {
  now_ += halfPeriodNs_;
  const bool level = Bus(masterSda);
  if (present_) eeprom_.SclRose(level, now_);
  now_ += halfPeriodNs_;
  if (present_) eeprom_.SclFell(now_);
  ++bits_;
  return level;
}

// From idle both lines are high; for a repeated start SCL rises with SDA released first. SDA then
// falls while SCL is high, and SCL falls.
void SimulatedI2cBus::Start(bool repeated) {
  if (repeated) {
    now_ += halfPeriodNs_;
    if (present_) eeprom_.SclRose(Bus(true), now_);
  }
  now_ += halfPeriodNs_;
  if (present_) eeprom_.StartCondition(now_);
  now_ += halfPeriodNs_;
  if (present_) eeprom_.SclFell(now_);
}

// SDA low while SCL is low, SCL up, then SDA up while SCL is high.
void SimulatedI2cBus::Stop() {
  now_ += halfPeriodNs_;
  if (present_) eeprom_.SclRose(Bus(false), now_);
  now_ += halfPeriodNs_;
  if (present_) eeprom_.StopCondition(now_);
}

bool SimulatedI2cBus::SendByte(uint8_t byte) {
  for (int bit = 7; bit >= 0; --bit)
    (void)Clock(((byte >> bit) & 1U) != 0);
  return !Clock(true);  // released: the memory acknowledges by pulling SDA low
}

uint8_t SimulatedI2cBus::ReceiveByte(bool acknowledge) {
  uint8_t value = 0;
  for (int bit = 0; bit < 8; ++bit)
    value = static_cast<uint8_t>((value << 1) | (Clock(true) ? 1U : 0U));
  (void)Clock(!acknowledge);
  return value;
}

I2cBusOutcome SimulatedI2cBus::Transfer(std::span<const I2cMessage> messages) {
  for (size_t i = 0; i < messages.size(); ++i) {
    const I2cMessage& message = messages[i];
    Start(i > 0);
    if (!SendByte(static_cast<uint8_t>((message.address << 1) | (message.read ? 1U : 0U)))) {
      Stop();
      return {I2cBusOutcome::Refusal::Address, i};
    }
    for (size_t at = 0; at < message.bytes.size(); ++at) {
      if (message.read) {
        // The last byte of a read is not acknowledged: the memory lets SDA go for the stop.
        message.bytes[at] = ReceiveByte(at + 1 < message.bytes.size());
      } else if (!SendByte(message.bytes[at])) {
        Stop();
        return {I2cBusOutcome::Refusal::Data, i};
      }
    }
  }
  Stop();
  return {};
}

bool SimulatedI2cBus::LoadImage(std::string& error) {
  if (config_.imagePath.empty()) return true;
  const std::string_view name = kMemoryTypes[static_cast<size_t>(config_.typeIndex)].name;
  if (!LoadImageFile(config_.imagePath, name, eeprom_.contents(), error)) return false;
  saveOnClose_ = true;
  return true;
}

bool SimulatedI2cBus::SaveImage(std::string& error) {
  if (config_.imagePath.empty()) return true;
  return SaveImageFile(config_.imagePath, memory(), error);
}

std::unique_ptr<SimulatedI2cBus> OpenSimulatedI2cBus(std::string_view device, std::string& error) {
  SimConfig config;
  if (!ParseSimDevice(device, config, error)) return nullptr;
  auto bus = std::make_unique<SimulatedI2cBus>(config);
  if (!bus->LoadImage(error)) return nullptr;
  return bus;
}

}  // namespace keldar::sim
