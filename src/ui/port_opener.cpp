#include "ui/port_opener.h"

#include "devices/open_device.h"
#include "settings/port_devices.h"
#include "settings/settings_store.h"

namespace keldar::ui {

PortOpener DefaultPortOpener(const CurrentMemory& memory) {
  return [&memory](int portNumber) {
    return OpenReader(ResolvePortDevice(portNumber, SettingsStore()), memory.type(),
                      memory.baseAddress, SystemPaths::FromEnvironment());
  };
}

}  // namespace keldar::ui
