// Builds without libftdi1 (Windows, or libftdi1 not installed): "ftdi:" names nothing.
#include "hw/ftdi_link.h"

namespace keldar {

FtdiLinkOpening OpenFtdiLink(const FtdiDeviceSpec&, const SystemPaths&) {
  return {nullptr, Refusal(PortRefusalReason::NoFtdiSupport)};
}

}  // namespace keldar
