// What the machine says about its devices without opening any of them: a serial port's UART on
// the board or a card, or a USB adapter and its driver, with the adapter's identity; or an I2C
// adapter that keldar drives through i2c-dev.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hw/i2c_inventory.h"
#include "hw/system_paths.h"

namespace keldar {

enum class SerialBus : uint8_t { Unknown, Native, Usb };

enum class AdapterFamily : uint8_t {
  Unknown,
  NativeUart,   // 8250 family and other UARTs of the serial core
  Ftdi,         // ftdi_sio
  FtdiBitBang,  // the same cable through libftdi ("ftdi:")
  Ch341,        // ch341-uart (CH340, CH341)
  Pl2303,       // pl2303
  Cp210x,       // cp210x
  CdcAcm,       // cdc_acm
  OtherUsb,
  I2cAdapter,  // an "i2c:" adapter: no serial port at all
};

struct SerialDeviceInfo {
  std::string path;        // as named: /dev/ttyS1, /dev/serial/by-id/usb-FTDI_...
  std::string kernelName;  // the device it leads to: ttyUSB0
  bool exists = false;
  SerialBus bus = SerialBus::Unknown;
  std::string driver;  // the kernel driver's name: ftdi_sio, ch341-uart, serial8250, serial...
  int uartType = -1;   // the serial core's port type; 0: no UART behind the port; -1: not known
  // USB adapters only, as the adapter describes itself.
  std::string vendorId, productId, manufacturer, product, serialNumber;
  // An FTDI cable reached as "ftdi:" (synchronous bit-bang through libftdi), not as a tty.
  bool bitBang = false;
  // The process of a live UUCP lock on the device (LCK..<kernelName>), 0 when none; heldHere
  // when that process is this one.
  int lockHolder = 0;
  bool heldHere = false;
  // An I2C adapter reached as "i2c:" (path), as sysfs describes it; kernelName is its i2c-N and
  // driver its controller's driver.
  std::optional<I2cAdapterInfo> i2c;

  [[nodiscard]] AdapterFamily family() const;
};

// Follows links (/dev/serial/by-id) and reads the device's entry under the sysfs root.
[[nodiscard]] SerialDeviceInfo IdentifySerialDevice(const std::string& path,
                                                    const SystemPaths& paths);

// Every serial device of the machine, each once: the stable names under serial/by-id first; then
// the names under serial/by-path of adapters that share a by-id name with a twin (same make, no
// serial number to tell them apart); then ttyS*, ttyUSB* and ttyACM* in numeric order.
[[nodiscard]] std::vector<SerialDeviceInfo> ListSerialDevices(const SystemPaths& paths);

// Fills lockHolder and heldHere from the lock folders (nothing where there are none).
void NoteLockHolder(SerialDeviceInfo& info, const SystemPaths& paths);

}  // namespace keldar
