// The shim's device list: "PATH=SPEC;PATH=SPEC..." as KELDAR_SHIM_DEVICES gives it, where SPEC is
// a simulated reader's device string ("sim:24C16,image=/tmp/x.bin") or "phantom", with the
// shim's own keys among its fields: errno=NAME fails every opening with that error (ENOSPC: a
// file that opens and fills up at once), group=GID makes stat answer for the device. A PATH
// that ends with "/" stands for every path under that folder.
// A PATH named i2c-N is an I2C adapter (i2c-dev) with the simulated memory of SPEC on its bus,
// and these keys for the adapter: funcs=N its I2C_FUNCS bits; maxwrite=N and maxread=N the
// longest messages it takes, noempty no empty message (its driver's quirks), limit=NAME the
// errno of a transfer beyond them (EOPNOTSUPP, as i2c-core's quirk check; EINVAL, as
// hid-cp2112); addrnack=NAME and datanack=NAME the errno of a refused address and data byte;
// unplug=N pulls it out at its N-th transfer, unplugerr=NAME what it answers then; latency=US
// what each transfer costs beside the bits on the wire.
#pragma once

#include <optional>

#include <string>
#include <string_view>
#include "sim/i2c_adapter.h"

namespace keldar::shim {

// The spec of path in list, or nothing. Allocates nothing: every open() of the process asks.
[[nodiscard]] std::optional<std::string_view> FindDeviceSpec(std::string_view list,
                                                             std::string_view path);

struct DeviceSpec {
  std::string reader;  // the device string without the shim's keys
  int openErrno = 0;
  int group = -1;  // none
  sim::I2cAdapterModel i2c;
};

// "ENXIO" for ENXIO; the number itself for an errno without a name here.
[[nodiscard]] std::string ErrnoName(int error);
// True when the path names an I2C adapter node (a file named i2c-N).
[[nodiscard]] bool IsI2cNode(std::string_view path);

[[nodiscard]] DeviceSpec SplitDeviceSpec(std::string_view spec);

}  // namespace keldar::shim
