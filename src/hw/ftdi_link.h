// The real USB side of an "ftdi:" cable, through libftdi1 (Linux builds with libftdi1 found).
#pragma once

#include <memory>

#include "hw/bitbang_link.h"
#include "hw/ftdi_device.h"
#include "hw/port_refusal.h"
#include "hw/system_paths.h"

namespace keldar {

struct FtdiLinkOpening {
  std::unique_ptr<BitBangLink> link;
  PortRefusal refusal;  // meaningful when link is null
};

// Opens the first FT232R that matches, detaching its kernel driver (its /dev/ttyUSBn disappears
// until the link closes, when the driver is attached again). Refused when no such cable is
// plugged in (or USB is off, KELDAR_NO_USB), its tty is locked by another program, its USB
// device may not be opened or is claimed by another program, the chip is not an FT232R, or this
// build has no libftdi1.
[[nodiscard]] FtdiLinkOpening OpenFtdiLink(const FtdiDeviceSpec& spec, const SystemPaths& paths);

}  // namespace keldar
