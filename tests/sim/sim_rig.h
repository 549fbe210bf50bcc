// The real program stack (line map, primitives, I2C master, line-level executor, block
// transfers) wired to a simulated reader, as the window wires them to a real port.
#pragma once

#include <cstdint>
#include <vector>

#include "hw/line_driver.h"
#include "hw/linemap.h"
#include "i2c/blockio.h"
#include "i2c/catalogue.h"
#include "i2c/i2c.h"
#include "i2c/line_executor.h"
#include "sim/sim_port.h"

namespace keldar::test {

inline sim::SimConfig Fitted(int32_t typeIndex, int32_t pins = 0,
                             sim::Wiring wiring = sim::Wiring::Standard) {
  sim::SimConfig config;
  config.typeIndex = typeIndex;
  config.pins = pins;
  config.wiring = wiring;
  return config;
}

struct Rig {
  // The program selects `programType` (the fitted type when -1) with `base` as its address pins,
  // and its line map matches the reader's wiring.
  explicit Rig(const sim::SimConfig& config, int32_t base = 0, int32_t accessTime = 0,
               int32_t programType = -1)
      : reader(config) {
    if (config.wiring == sim::Wiring::InSitu) {
      map.ApplyInSituPreset();
    } else {
      map.ApplyStandardPreset();
    }
    map.SetOutputArrangement(config.outputArrangement);
    map.SetSdaInput(config.sdaInput);
    map.accessTime = accessTime;
    memory.Select(programType < 0 ? config.typeIndex : programType);
    memory.baseAddress = base;
  }

  // The whole memory as the program reads it, powered on and off around the transfer.
  std::vector<uint8_t> ReadAll(BlockResult* result = nullptr) {
    std::vector<uint8_t> data(memory.capacity);
    lines.PowerOn();
    const BlockResult r = io.SequentialRead(data.data(), true, {});
    lines.PowerOff();
    if (result != nullptr) *result = r;
    return data;
  }

  std::vector<uint8_t> Cells() {
    const auto cells = reader.memory();
    return {cells.begin(), cells.end()};
  }

  sim::SimulatedReader reader;
  LineMap map;
  LineExecutor executor{map, reader};
  LineDriver& lines = executor.lines();
  I2cMaster bus{lines};
  CurrentMemory memory;
  BlockIo io{executor, memory};
};

}  // namespace keldar::test
