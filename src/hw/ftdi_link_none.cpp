// Builds without libftdi1 (Windows, or libftdi1 not installed): "ftdi:" names nothing.
#include "hw/ftdi_link.h"

namespace keldar {

std::unique_ptr<BitBangLink> OpenFtdiLink(const FtdiDeviceSpec&, const SystemPaths&,
                                          std::string& error) {
  error =
      "ce programme a été construit sans libftdi1 : utilisez le port série du câble "
      "(/dev/ttyUSBn)";
  return nullptr;
}

}  // namespace keldar
