#include "devices/open_device.h"

#include "hw/bitbang_port.h"
#include "hw/ftdi_device.h"
#include "hw/ftdi_link.h"
#include "hw/serial_port.h"
#include "sim/sim_config.h"
#include "sim/sim_device.h"

namespace keldar {
namespace {

std::unique_ptr<ControlPort> OpenFtdi(const std::string& device, std::string& error) {
  FtdiDeviceSpec spec;
  if (!ParseFtdiDevice(device, spec, error)) return nullptr;
  std::unique_ptr<BitBangLink> link = OpenFtdiLink(spec, SystemPaths::FromEnvironment(), error);
  if (!link) return nullptr;
  return StartBitBangPort(std::move(link), kDefaultBitBangRate, error);
}

}  // namespace

std::unique_ptr<ControlPort> OpenDevice(const std::string& device, std::string& error) {
  error.clear();
  if (sim::IsSimDevice(device)) return sim::OpenSimulatedDevice(device, error).port;
  if (IsFtdiDevice(device)) return OpenFtdi(device, error);
  return OpenSerialDevice(device, error);
}

}  // namespace keldar
