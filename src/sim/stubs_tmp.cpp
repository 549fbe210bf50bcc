#include "i2c/catalogue.h"
#include "sim/sim_port.h"

namespace keldar::sim {

bool IsSimDevice(std::string_view device) {
  return device.starts_with("sim:");
}
bool ParseSimDevice(std::string_view, SimConfig&, std::string& error) {
  error = "Lecteur simulé pas encore disponible.";
  return false;
}

SimulatedEeprom::SimulatedEeprom(int32_t typeIndex, int32_t pins, const SimFaults& faults)
    : faults_(faults),
      typeIndex_(typeIndex),
      pins_(static_cast<uint8_t>(pins)),
      capacity_(kMemoryTypes[static_cast<size_t>(typeIndex)].capacity),
      pageSize_(kMemoryTypes[static_cast<size_t>(typeIndex)].pageSize),
      addressBytes_(kMemoryTypes[static_cast<size_t>(typeIndex)].addressBytes),
      x24c01_(typeIndex == kX24C01Index),
      cells_(capacity_, 0xFF) {}
void SimulatedEeprom::PowerUp() {}
void SimulatedEeprom::PowerDown() {}
void SimulatedEeprom::SclRose(bool, uint64_t) {}
void SimulatedEeprom::SclFell(uint64_t) {}
void SimulatedEeprom::StartCondition(uint64_t) {}
void SimulatedEeprom::StopCondition(uint64_t) {}
bool SimulatedEeprom::WriteCycleRunning(uint64_t) {
  return false;
}

VcdWriter::~VcdWriter() {
  Close();
}
bool VcdWriter::Open(const std::string&, bool, bool, bool) {
  return false;
}
void VcdWriter::Change(uint64_t, Signal, bool) {}
void VcdWriter::Close() {}

SimulatedReader::SimulatedReader(const SimConfig& config)
    : config_(config), eeprom_(config.typeIndex, config.pins, config_.faults) {}
SimulatedReader::~SimulatedReader() = default;
bool SimulatedReader::EscapeCommFunction(int32_t) {
  return true;
}
bool SimulatedReader::GetCommModemStatus(uint32_t& status) {
  status = 0;
  return true;
}
void SimulatedReader::Sleep(uint32_t) {}
void SimulatedReader::SetWriteCycleTime(uint64_t ns) {
  config_.writeCycleNs = ns;
}
uint32_t SimulatedReader::ModemStatus() const {
  return 0;
}
bool SimulatedReader::LoadImage(std::string&) {
  return true;
}
bool SimulatedReader::SaveImage(std::string&) {
  return true;
}
bool SimulatedReader::OpenVcd(std::string&) {
  return true;
}

std::unique_ptr<SimulatedReader> OpenSimulatedPort(std::string_view device, std::string& error) {
  SimConfig config;
  if (!ParseSimDevice(device, config, error)) return nullptr;
  return std::make_unique<SimulatedReader>(config);
}

}  // namespace keldar::sim
