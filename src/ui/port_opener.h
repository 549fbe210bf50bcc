// How the main window gets the port a number 1..4 names. The program resolves the number to a
// device (environment, settings, platform default) and opens it; tests hand in their own ports.
#pragma once

#include <functional>

#include "i2c/catalogue.h"
#include "i2c/reader_device.h"

namespace keldar::ui {

// The port or I2C adapter, or why there is none.
using PortOpener = std::function<ReaderOpening(int portNumber)>;

// ResolvePortDevice, then OpenReader with the memory as it is selected when the port opens (an I2C
// adapter is checked with it); memory must outlive the opener.
PortOpener DefaultPortOpener(const CurrentMemory& memory);

}  // namespace keldar::ui
