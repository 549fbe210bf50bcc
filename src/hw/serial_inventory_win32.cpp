// The inventory from the registry: HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM maps each
// present port's kernel device (\Device\Serial0, \Device\VCP0...) to its COM name. Nothing is
// opened; which driver stands behind a name is not known here.
#include "hw/serial_inventory.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "platform/utf16.h"

namespace keldar {

SerialDeviceInfo IdentifySerialDevice(const std::string& path, const SystemPaths& paths) {
  for (SerialDeviceInfo& device : ListSerialDevices(paths)) {
    if (device.path == path || device.path + ":" == path) return device;
  }
  SerialDeviceInfo info;
  info.path = path;
  info.kernelName = path;
  return info;
}

// Windows keeps no UUCP lock files: a port another program holds shows only when it is opened.
void NoteLockHolder(SerialDeviceInfo&, const SystemPaths&) {}

std::vector<SerialDeviceInfo> ListSerialDevices(const SystemPaths&) {
  std::vector<SerialDeviceInfo> devices;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return devices;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    wchar_t data[64];
    DWORD nameLength = static_cast<DWORD>(std::size(name));
    DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data), &dataBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    data[dataBytes / sizeof(wchar_t)] = L'\0';
    SerialDeviceInfo info;
    info.path = Utf8FromWide(data);
    info.kernelName = Utf8FromWide(name);
    info.exists = true;
    // The native driver names its devices \Device\Serial<n>; USB adapters' drivers do otherwise.
    if (info.kernelName.rfind("\\Device\\Serial", 0) == 0) info.bus = SerialBus::Native;
    devices.push_back(std::move(info));
  }
  ::RegCloseKey(key);
  // COM2 before COM10.
  std::sort(devices.begin(), devices.end(),
            [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) {
              const auto number = [](const std::string& com) {
                return com.size() > 3 ? std::atoi(com.c_str() + 3) : 0;
              };
              return number(a.path) < number(b.path);
            });
  return devices;
}

}  // namespace keldar
