#include "devices/i2c_access.h"

#include <algorithm>

#include "hw/i2c_dev_bus.h"
#include "hw/i2c_dev_device.h"
#include "hw/sysfs_files.h"

namespace keldar {
namespace {

PortRefusal AdapterRefusal(PortRefusalReason reason, const I2cAdapterInfo& adapter) {
  PortRefusal refusal = Refusal(reason);
  refusal.adapter = adapter.name;
  return refusal;
}

// The first of the addresses that a kernel driver holds on the adapter.
std::optional<PortRefusal> BoundRefusal(const I2cAdapterInfo& adapter,
                                        const std::vector<uint8_t>& occupied, bool probed) {
  for (const I2cClient& client : adapter.clients) {
    if (client.driver.empty() ||
        std::find(occupied.begin(), occupied.end(), client.address) == occupied.end())
      continue;
    PortRefusal refusal = AdapterRefusal(PortRefusalReason::AddressBound, adapter);
    refusal.address = client.address;
    refusal.driver = client.driver;
    refusal.probed = probed;
    return refusal;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PortRefusal> I2cAdapterRefusal(const I2cAdapterInfo& adapter) {
  switch (adapter.kind) {
    case I2cAdapterKind::SmbusHost:
      return AdapterRefusal(PortRefusalReason::SmbusHost, adapter);
    case I2cAdapterKind::Graphics:
      return AdapterRefusal(PortRefusalReason::GraphicsBus, adapter);
    case I2cAdapterKind::Free:
      break;
  }
  if (!adapter.node) return AdapterRefusal(PortRefusalReason::NoI2cDevNode, adapter);
  return std::nullopt;
}

std::optional<PortRefusal> I2cMemoryRefusal(const I2cAdapterInfo& adapter, const MemoryType& type,
                                            int32_t base, bool identification) {
  if (identification) {
    std::vector<uint8_t> probed;
    for (uint8_t select = 0; select < 8; ++select)
      probed.push_back(static_cast<uint8_t>(0x50U | select));
    return BoundRefusal(adapter, probed, true);
  }
  // Pseudo-I2C: its control byte is its memory address, so it answers at every bus address,
  // its first read goes to 0x00 (the general call address, which with the read bit is the START
  // byte), and it needs nine clock pulses without a start before each write.
  if (type.typeIndex == kX24C01Index)
    return AdapterRefusal(PortRefusalReason::PseudoI2cOnBus, adapter);
  return BoundRefusal(adapter, BusAddresses(type, base), false);
}

std::optional<PortRefusal> I2cUseRefusal(const I2cAdapterInfo& opened, const SystemPaths& paths,
                                         const MemoryType& type, int32_t base,
                                         bool identification) {
  // Pulled out, its number may have gone to another adapter since.
  const std::optional<I2cAdapterInfo> adapter = FindI2cAdapter(opened.bus, paths);
  if (!adapter || adapter->name != opened.name)
    return AdapterRefusal(PortRefusalReason::Missing, opened);
  return I2cMemoryRefusal(*adapter, type, base, identification);
}

I2cAdapterOpening OpenI2cAdapter(const std::string& device, const SystemPaths& paths,
                                 const MemoryType& type, int32_t base, bool identification) {
  I2cAdapterOpening opening;
  if (!I2cDevAvailable()) {
    opening.refusal = Refusal(PortRefusalReason::NoI2cSupport);
    return opening;
  }
  I2cDevSpec spec;
  if (std::string error; !ParseI2cDevDevice(device, paths.dev, spec, error)) {
    opening.refusal = Refusal(PortRefusalReason::Other);
    opening.refusal.detail = error;
    return opening;
  }
  const bool node = sysfs::Exists(spec.node);
  const std::optional<I2cAdapterInfo> adapter = FindI2cAdapter(spec.bus, paths);
  if (!adapter) {
    // Without sysfs nothing says the node is not the SMBus host: it stays closed.
    opening.refusal =
        Refusal(node ? PortRefusalReason::I2cAdapterUnknown : PortRefusalReason::Missing);
    return opening;
  }
  opening.adapter = *adapter;
  opening.adapter.node = node;
  std::optional<PortRefusal> refusal = I2cAdapterRefusal(opening.adapter);
  if (!refusal) refusal = I2cMemoryRefusal(opening.adapter, type, base, identification);
  if (refusal) {
    opening.refusal = std::move(*refusal);
    return opening;
  }
  I2cBusOpening bus = OpenI2cDevBus(spec.node);
  opening.bus = std::move(bus.bus);
  opening.refusal = std::move(bus.refusal);
  opening.refusal.adapter = opening.adapter.name;
  return opening;
}

}  // namespace keldar
