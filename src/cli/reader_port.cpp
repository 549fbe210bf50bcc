#include "cli/reader_port.h"

#include "devices/open_device.h"
#include "hw/i2c_dev_device.h"
#include "messages/port_messages.h"
#include "messages/port_texts.h"
#include "settings/port_devices.h"

namespace keldar::cli {

std::string DeviceFor(const std::string& port, const SettingsReader& settings) {
  if (port.size() == 1 && port[0] >= '1' && port[0] <= '4') {
    return ResolvePortDevice(port[0] - '0', settings);
  }
  return port;
}

namespace {

void Unavailable(const std::string& device, const PortRefusal& refusal, Console& console) {
  console.err << "Le port " << device << " est indisponible ! ("
              << messages::PortRefusalText(refusal) << ")\n";
}

}  // namespace

std::unique_ptr<ControlPort> OpenReaderPort(const std::string& device, Console& console) {
  if (IsI2cDevDevice(device)) {
    // Only what drives lines can be measured.
    console.err << device << " : " << messages::kI2cPortTestNote << '\n';
    return nullptr;
  }
  PortOpening opening = OpenDevice(device);
  if (!opening.port) Unavailable(device, opening.refusal, console);
  return std::move(opening.port);
}

ReaderDevice OpenReaderDevice(const std::string& device, const MemoryType& type, int32_t base,
                              bool identification, Console& console) {
  ReaderOpening opening =
      OpenReader(device, type, base, SystemPaths::FromEnvironment(), identification);
  if (!opening.device.IsOpen()) Unavailable(device, opening.refusal, console);
  return std::move(opening.device);
}

}  // namespace keldar::cli
