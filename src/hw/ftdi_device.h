// What an "ftdi:" device string names: an FTDI cable driven in synchronous bit-bang mode, chosen
// by its USB vendor and product numbers and, when several are plugged in, its serial number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace keldar {

// FTDI's own numbers for the FT232R (also the FT245R and the older FT232BM).
inline constexpr uint16_t kFtdiVendor = 0x0403;
inline constexpr uint16_t kFt232rProduct = 0x6001;

struct FtdiDeviceSpec {
  uint16_t vendor = kFtdiVendor;
  uint16_t product = kFt232rProduct;
  std::string serial;  // empty: the first one found
};

[[nodiscard]] bool IsFtdiDevice(std::string_view device);

// "ftdi:", "ftdi:SERIAL", "ftdi:VID:PID" or "ftdi:VID:PID:SERIAL", the numbers in hexadecimal.
// False and a French message when the string says something else.
[[nodiscard]] bool ParseFtdiDevice(std::string_view device, FtdiDeviceSpec& spec,
                                   std::string& error);

// A USB vendor or product number as lsusb and sysfs write it: "0403".
[[nodiscard]] std::string UsbId(uint16_t id);

// The string that names this adapter: "ftdi:0403:6001:A50285BI".
[[nodiscard]] std::string FtdiDeviceString(const FtdiDeviceSpec& spec);

}  // namespace keldar
