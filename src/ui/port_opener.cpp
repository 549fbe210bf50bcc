#include "ui/port_opener.h"

#include <string>

#include "devices/open_device.h"
#include "settings/port_devices.h"

namespace keldar::ui {

PortOpener DefaultPortOpener() {
  return [](int portNumber) -> std::unique_ptr<ControlPort> {
    std::string error;
    return OpenDevice(ResolvePortDevice(portNumber).toStdString(), error);
  };
}

}  // namespace keldar::ui
