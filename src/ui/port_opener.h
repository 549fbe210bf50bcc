// How the main window gets the port a number 1..4 names. The program resolves the number to a
// device (environment, settings, platform default) and opens it; tests hand in their own ports.
#pragma once

#include <functional>
#include <memory>

#include "hw/port.h"

namespace keldar::ui {

// nullptr when the port cannot be had.
using PortOpener = std::function<std::unique_ptr<ControlPort>(int portNumber)>;

// ResolvePortDevice, then OpenDevice.
PortOpener DefaultPortOpener();

}  // namespace keldar::ui
