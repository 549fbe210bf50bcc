#include "ui/port_opener.h"

#include "devices/open_device.h"
#include "settings/port_devices.h"
#include "settings/settings_store.h"

namespace keldar::ui {

PortOpener DefaultPortOpener() {
  return [](int portNumber) { return OpenDevice(ResolvePortDevice(portNumber, SettingsStore())); };
}

}  // namespace keldar::ui
