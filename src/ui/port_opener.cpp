#include "ui/port_opener.h"

#include <string>

#include "devices/open_device.h"
#include "settings/port_devices.h"
#include "settings/settings_store.h"

namespace keldar::ui {

PortOpener DefaultPortOpener() {
  return [](int portNumber) -> std::unique_ptr<ControlPort> {
    std::string error;
    return OpenDevice(ResolvePortDevice(portNumber, SettingsStore()), error);
  };
}

}  // namespace keldar::ui
