// The nine line primitives: the only way the bus layers touch the reader. Each output change is
// one port call plus accessTime status reads, a repeated level included; ReadSda is exactly one
// status read. Nothing is cached, merged or skipped: the call sequence is the bus timing.
#pragma once

#include <cstdint>

#include "hw/linemap.h"
#include "hw/port.h"

namespace keldar {

// The two power sequences, written once for the line driver and the FT232R stream's lines.
// Bus lines high before the supply comes up; supply off before the bus lines go low.
inline constexpr uint32_t kPowerRestMs = 20;
template <typename Lines>
void PowerOnSequence(Lines& lines) {
  lines.SetSdaHigh();
  lines.SetSclHigh();
  lines.SetValimHigh();
  lines.Sleep(kPowerRestMs);
}
template <typename Lines>
void PowerOffSequence(Lines& lines) {
  lines.SetValimLow();
  lines.SetSclLow();
  lines.SetSdaLow();
  lines.Sleep(kPowerRestMs);
}

class LineDriver {
 public:
  LineDriver(const LineMap& map, ControlPort& port) : map_(map), port_(port) {}
  LineDriver(const LineDriver&) = delete;
  LineDriver& operator=(const LineDriver&) = delete;

  void SetSdaLow() { Drive(map_.Arrangement().sda, map_.complementSdaOut, false); }
  void SetSdaHigh() { Drive(map_.Arrangement().sda, map_.complementSdaOut, true); }
  void SetSclLow() { Drive(map_.Arrangement().scl, map_.complementScl, false); }
  void SetSclHigh() { Drive(map_.Arrangement().scl, map_.complementScl, true); }
  void SetValimLow() { Drive(map_.Arrangement().valim, map_.complementValim, false); }
  void SetValimHigh() { Drive(map_.Arrangement().valim, map_.complementValim, true); }
  // One status read. After a failed read the scratch reading keeps what it held, as the
  // hardware call would leave it.
  [[nodiscard]] uint8_t ReadSda() {
    if (!port_.ReadInputs(inputs_)) portFailed_ = true;
    return inputs_[map_.SdaInputLine()] != map_.complementSdaIn ? 1 : 0;
  }
  void Sleep(uint32_t milliseconds) { port_.Sleep(milliseconds); }

  void PowerOn() { PowerOnSequence(*this); }
  void PowerOff() { PowerOffSequence(*this); }

  // True once any port call has failed since construction or the last ClearPortFailure: the
  // adapter may have been pulled out. The primitives carry on regardless; callers decide.
  [[nodiscard]] bool PortFailed() const { return portFailed_; }
  void ClearPortFailure() { portFailed_ = false; }

  const LineMap& lineMap() const { return map_; }
  ControlPort& port() { return port_; }

 private:
  // Logical 1 is the asserted level unless the signal is complemented.
  void Drive(OutputLine line, bool complement, bool level) {
    if (!port_.SetLine(line, level != complement)) portFailed_ = true;
    for (int32_t i = 0; i < map_.accessTime; ++i) {
      if (!port_.ReadInputs(inputs_)) portFailed_ = true;
    }
  }

  const LineMap& map_;
  ControlPort& port_;
  InputLevels inputs_;  // scratch for every status read, the delay reads included
  bool portFailed_ = false;
};

}  // namespace keldar
