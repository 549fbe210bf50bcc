// Whether an "i2c:" adapter may be used, and with which memory, from what sysfs says of it, and
// its opening. The PC's own buses are refused before anything is opened: the SMBus host carries
// the memory modules' SPD EEPROMs (a PC may not start again after one is written) and a graphics
// card's display bus the monitor's EDID at 0x50. An address a kernel driver holds is refused too:
// i2c-dev checks that only for I2C_SLAVE (i2cdev_check_addr), never for I2C_RDWR.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "hw/i2c_inventory.h"
#include "hw/i2c_message.h"
#include "hw/port_refusal.h"
#include "hw/system_paths.h"
#include "i2c/catalogue.h"

namespace keldar {

// Why no memory may be used on the adapter; nothing when one may.
[[nodiscard]] std::optional<PortRefusal> I2cAdapterRefusal(const I2cAdapterInfo& adapter);

// Why this memory may not be used on the adapter with its pins at base: the X24C01, or an address
// the type answers at (BusAddresses) that a kernel driver holds; for the identification, whatever
// the type, any address 1010xxx it probes that a driver holds. Nothing when it may.
[[nodiscard]] std::optional<PortRefusal> I2cMemoryRefusal(const I2cAdapterInfo& adapter,
                                                          const MemoryType& type, int32_t base,
                                                          bool identification = false);
// The same before an operation (I2cUseCheck) on the adapter opened, as sysfs describes it now.
// An adapter no longer there under its number and name is Missing.
[[nodiscard]] std::optional<PortRefusal> I2cUseRefusal(const I2cAdapterInfo& opened,
                                                       const SystemPaths& paths,
                                                       const MemoryType& type, int32_t base,
                                                       bool identification);

struct I2cAdapterOpening {
  std::unique_ptr<I2cBus> bus;  // nullptr when refused
  I2cAdapterInfo adapter;       // as sysfs described it at opening
  PortRefusal refusal;
};

// The adapter an "i2c:" string names, checked in sysfs with the memory of this type at these
// pins, then opened. Every refusal names the adapter as sysfs does, when it knows it.
[[nodiscard]] I2cAdapterOpening OpenI2cAdapter(const std::string& device, const SystemPaths& paths,
                                               const MemoryType& type, int32_t base,
                                               bool identification = false);

}  // namespace keldar
