// How the main window gets the port a number 1..4 names. The program resolves the number to a
// device (environment, settings, platform default) and opens it; tests hand in their own ports.
#pragma once

#include <functional>

#include "hw/port_refusal.h"

namespace keldar::ui {

// The port, or why there is none.
using PortOpener = std::function<PortOpening(int portNumber)>;

// ResolvePortDevice, then OpenDevice.
PortOpener DefaultPortOpener();

}  // namespace keldar::ui
