// A "sim:" device string opened as the program opens a port: the simulated reader itself, or,
// with adapter=ft232r, the program's own bit-bang port over the FT232R model and that reader.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "hw/port.h"

namespace keldar::sim {

class SimulatedReader;
class Ft232rModel;

// The port and, for the tests and benchmarks that look inside, what it owns.
struct SimulatedDevice {
  std::unique_ptr<ControlPort> port;  // nullptr when the string was refused
  SimulatedReader* reader = nullptr;
  Ft232rModel* model = nullptr;  // adapter=ft232r only
};

// A French message in error when the string is refused or the reader cannot be opened.
[[nodiscard]] SimulatedDevice OpenSimulatedDevice(std::string_view device, std::string& error);

}  // namespace keldar::sim
