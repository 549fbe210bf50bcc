#include "devices/open_device.h"

#include <cerrno>

#include "hw/bitbang_port.h"
#include "hw/ftdi_device.h"
#include "hw/ftdi_link.h"
#include "hw/serial_port.h"
#include "sim/sim_config.h"
#include "sim/sim_device.h"

namespace keldar {
namespace {

PortRefusal Explained(std::string detail) {
  PortRefusal refusal = Refusal(PortRefusalReason::Other);
  refusal.detail = std::move(detail);
  return refusal;
}

PortOpening OpenFtdi(const std::string& device) {
  FtdiDeviceSpec spec;
  if (std::string error; !ParseFtdiDevice(device, spec, error)) return Explained(error);
  FtdiLinkOpening opened = OpenFtdiLink(spec, SystemPaths::FromEnvironment());
  if (!opened.link) return opened.refusal;
  return StartBitBangPort(std::move(opened.link), kDefaultBitBangRate);
}

}  // namespace

PortOpening OpenDevice(const std::string& device) {
  if (sim::IsSimDevice(device)) {
    std::string error;
    sim::SimulatedDevice opened = sim::OpenSimulatedDevice(device, error);
    if (!opened.port) return Explained(error);
    return std::move(opened.port);
  }
  if (IsFtdiDevice(device)) return OpenFtdi(device);
  return OpenSerialDevice(device);
}

}  // namespace keldar
