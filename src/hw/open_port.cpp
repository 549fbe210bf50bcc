#include "hw/open_port.h"

#include <string_view>

#include "sim/sim_port.h"

namespace keldar {

std::unique_ptr<ControlPort> OpenDevice(const std::string& device, std::string& error) {
  error.clear();
  if (std::string_view(device).starts_with("sim:")) return sim::OpenSimulatedPort(device, error);
  return OpenSerialDevice(device, error);
}

}  // namespace keldar
