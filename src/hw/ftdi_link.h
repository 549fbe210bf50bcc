// The real USB side of an "ftdi:" cable, through libftdi1 (Linux builds with libftdi1 found).
#pragma once

#include <memory>
#include <string>

#include "hw/bitbang_link.h"
#include "hw/ftdi_device.h"
#include "hw/system_paths.h"

namespace keldar {

// Opens the first FT232R that matches, detaching its kernel driver (its /dev/ttyUSBn disappears
// until the link closes, when the driver is attached again). nullptr and a French message when
// no such cable is plugged in, its tty is held by another program (UUCP lock), the chip is not an
// FT232R, USB access is refused, or this build has no libftdi1.
[[nodiscard]] std::unique_ptr<BitBangLink> OpenFtdiLink(const FtdiDeviceSpec& spec,
                                                        const SystemPaths& paths,
                                                        std::string& error);

}  // namespace keldar
