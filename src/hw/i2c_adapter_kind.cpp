// What an adapter is for, from the names the kernel drivers give their adapters and the driver of
// the controller it hangs on. A doubt refuses: these buses belong to the PC, not to the user.
#include <algorithm>
#include <array>
#include <span>

#include "hw/i2c_inventory.h"

namespace keldar {
namespace {

bool StartsWithAny(std::string_view text, std::span<const std::string_view> prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [text](std::string_view prefix) { return text.starts_with(prefix); });
}

// The PC SMBus host drivers name their adapters "SMBus ..." (i2c-i801: "SMBus I801 adapter at
// %04lx", i2c-piix4: "SMBus PIIX4 adapter%s at %04x", i2c-nforce2: "SMBus nForce2 adapter at
// %4x", i2c-amd756, i2c-ali15x3, i2c-viapro, i2c-isch, i2c-ismt alike) and their PCI drivers
// "<chip>_smbus" (i801_smbus, piix4_smbus, nForce2_smbus, sis96x_smbus, whose adapter is named
// "SiS96x SMBus adapter at 0x%04x").
bool IsSmbusHost(std::string_view name, std::string_view driver) {
  return name.starts_with("SMBus") || driver.ends_with("_smbus");
}

// The graphics drivers' display buses: i915 "i915 gmbus %s" and its DP AUX channels ("AUX %c/%s",
// formerly "DPDDC-%c"); amdgpu "AMDGPU i2c hw bus %s", "AMDGPU i2c bit bus %s", "AMDGPU DM i2c hw
// bus %d", "AMDGPU DM aux hw bus %d", "AMDGPU SMU %d" (the board's own EEPROM); radeon "Radeon
// i2c hw bus %s", "Radeon i2c bit bus %s"; nouveau "nvkm-%s-bus-%04x", "nvkm-%s-aux-%04x"; the
// NVIDIA driver "NVIDIA i2c adapter %u at %x:%02x.%u"; DRM's DP AUX adapters otherwise take
// their connector's name ("card0-DP-1"). The same buses hang on the GPU's PCI device, whose
// driver is one of these.
constexpr std::array<std::string_view, 8> kGraphicsPrefixes{"i915 ",  "AUX ",  "DPDDC-", "AMDGPU",
                                                            "Radeon", "nvkm-", "NVIDIA", "DP-"};
constexpr std::array<std::string_view, 6> kGraphicsDrivers{"i915",   "xe",      "amdgpu",
                                                           "radeon", "nouveau", "nvidia"};

bool IsGraphics(std::string_view name, std::string_view driver) {
  return StartsWithAny(name, kGraphicsPrefixes) || name.find("gmbus") != std::string_view::npos ||
         name.find("-DP-") != std::string_view::npos ||
         std::find(kGraphicsDrivers.begin(), kGraphicsDrivers.end(), driver) !=
             kGraphicsDrivers.end();
}

}  // namespace

I2cAdapterKind ClassifyI2cAdapter(std::string_view name, std::string_view driver) {
  if (IsSmbusHost(name, driver)) return I2cAdapterKind::SmbusHost;
  if (IsGraphics(name, driver)) return I2cAdapterKind::Graphics;
  return I2cAdapterKind::Free;
}

}  // namespace keldar
