#include "cli/reader_port.h"

#include "devices/open_device.h"
#include "messages/port_messages.h"
#include "settings/port_devices.h"

namespace keldar::cli {

std::string DeviceFor(const std::string& port, const SettingsReader& settings) {
  if (port.size() == 1 && port[0] >= '1' && port[0] <= '4') {
    return ResolvePortDevice(port[0] - '0', settings);
  }
  return port;
}

std::unique_ptr<ControlPort> OpenReaderPort(const std::string& device, Console& console) {
  PortOpening opening = OpenDevice(device);
  if (!opening.port) {
    console.err << "Le port " << device << " est indisponible ! ("
                << messages::PortRefusalText(opening.refusal) << ")\n";
  }
  return std::move(opening.port);
}

}  // namespace keldar::cli
