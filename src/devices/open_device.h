// The one factory for every kind of port a device string can name: a prefix chooses the kind
// ("sim:" a simulated reader, "ftdi:" an FTDI cable in bit-bang mode, "i2c:" a Linux I2C
// adapter), anything else is a serial device path or COM name for the platform's backend.
#pragma once

#include <cstdint>
#include <string>

#include "hw/port_refusal.h"
#include "hw/system_paths.h"
#include "i2c/catalogue.h"
#include "i2c/reader_device.h"

namespace keldar {

// The port, or why the device cannot be had. A "sim:" or "ftdi:" string that says something the
// program does not know is refused as Other, with its checker's French reason in detail: those
// strings are the program's own syntax.
[[nodiscard]] PortOpening OpenDevice(const std::string& device);

// What the program reaches the memory through: an "i2c:" string opens an I2C adapter, checked
// in sysfs with the memory of this type at these pins (or for the identification) before
// anything is opened, then again before each operation (ReaderDevice::checkUse); any other
// string opens a port as OpenDevice.
[[nodiscard]] ReaderOpening OpenReader(const std::string& device, const MemoryType& type,
                                       int32_t base, const SystemPaths& paths,
                                       bool identification = false);

}  // namespace keldar
