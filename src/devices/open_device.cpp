#include "devices/open_device.h"

#include <cerrno>

#include "devices/i2c_access.h"
#include "hw/bitbang_port.h"
#include "hw/ftdi_device.h"
#include "hw/ftdi_link.h"
#include "hw/i2c_dev_device.h"
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

ReaderOpening OpenReader(const std::string& device, const MemoryType& type, int32_t base,
                         const SystemPaths& paths, bool identification) {
  if (!IsI2cDevDevice(device)) return OpenDevice(device);
  I2cAdapterOpening opened = OpenI2cAdapter(device, paths, type, base, identification);
  if (!opened.bus) return std::move(opened.refusal);
  ReaderDevice reader;
  reader.i2c = std::move(opened.bus);
  reader.adapterName = opened.adapter.name;
  reader.checkUse = [adapter = std::move(opened.adapter), paths](
                        const MemoryType& used, int32_t pins, bool identification) {
    return I2cUseRefusal(adapter, paths, used, pins, identification);
  };
  return reader;
}

}  // namespace keldar
