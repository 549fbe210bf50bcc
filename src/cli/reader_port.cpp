#include "cli/reader_port.h"

#include "devices/open_device.h"
#include "settings/port_devices.h"

namespace keldar::cli {

std::string DeviceFor(const std::string& port, const SettingsReader& settings) {
  if (port.size() == 1 && port[0] >= '1' && port[0] <= '4') {
    return ResolvePortDevice(port[0] - '0', settings);
  }
  return port;
}

std::unique_ptr<ControlPort> OpenReaderPort(const std::string& device, Console& console) {
  std::string error;
  std::unique_ptr<ControlPort> port = OpenDevice(device, error);
  if (!port) {
    console.err << "Le port " << device << " est indisponible !";
    if (!error.empty()) console.err << " (" << error << ')';
    console.err << '\n';
  }
  return port;
}

}  // namespace keldar::cli
