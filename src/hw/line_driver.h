// The nine line primitives: the only way the bus layers touch the reader. Each output change is
// one port call plus accessTime status reads, a repeated level included; ReadSda is exactly one
// status read. Nothing is cached, merged or skipped: the call sequence is the bus timing.
#pragma once

#include <cstdint>

#include "hw/linemap.h"
#include "hw/port.h"

namespace keldar {

class LineDriver {
 public:
  LineDriver(const LineMap& map, ControlPort& port) : map_(map), port_(port) {}

  void SetSdaLow() { Drive(map_.sdaLowCode, map_.sdaHighCode, map_.complementSdaOut, false); }
  void SetSdaHigh() { Drive(map_.sdaLowCode, map_.sdaHighCode, map_.complementSdaOut, true); }
  void SetSclLow() { Drive(map_.sclLowCode, map_.sclHighCode, map_.complementScl, false); }
  void SetSclHigh() { Drive(map_.sclLowCode, map_.sclHighCode, map_.complementScl, true); }
  void SetValimLow() { Drive(map_.valimLowCode, map_.valimHighCode, map_.complementValim, false); }
  void SetValimHigh() { Drive(map_.valimLowCode, map_.valimHighCode, map_.complementValim, true); }
  [[nodiscard]] uint8_t ReadSda();

  // Bus lines high before the supply comes up; supply off before the bus lines go low.
  void PowerOn();
  void PowerOff();

  // True once any port call has failed since construction or the last ClearPortFailure: the
  // adapter may have been pulled out. The primitives carry on regardless; callers decide.
  [[nodiscard]] bool PortFailed() const { return portFailed_; }
  void ClearPortFailure() { portFailed_ = false; }

  const LineMap& lineMap() const { return map_; }
  ControlPort& port() { return port_; }

 private:
  void Drive(int32_t lowCode, int32_t highCode, bool complement, bool level) {
    const int32_t code = (level != complement) ? highCode : lowCode;
    if (!port_.EscapeCommFunction(code)) portFailed_ = true;
    AccessDelay();
  }
  void AccessDelay() {
    for (int32_t i = 0; i < map_.accessTime; ++i) {
      if (!port_.GetCommModemStatus(status_)) portFailed_ = true;
    }
  }

  const LineMap& map_;
  ControlPort& port_;
  uint32_t status_ = 0;  // scratch word for every status read, the delay reads included
  bool portFailed_ = false;
};

}  // namespace keldar
