// The nine line primitives: the only way the bus layers touch the reader. Each output change is
// one port call plus accessTime status reads, a repeated level included; ReadSda is exactly one
// status read. Nothing is cached, merged or skipped: the call sequence is the bus timing.
#pragma once

#include <cstdint>
#include <vector>

#include "hw/linemap.h"
#include "hw/port.h"

namespace keldar {

class LineDriver {
 public:
  LineDriver(const LineMap& map, ControlPort& port)
      : map_(map), port_(port), deferred_(port.DefersStatusReads()) {}
  // Answers every deferred read first: the port must not write into a driver that is gone.
  ~LineDriver();
  LineDriver(const LineDriver&) = delete;
  LineDriver& operator=(const LineDriver&) = delete;

  void SetSdaLow() { Drive(map_.Arrangement().sda, map_.complementSdaOut, false); }
  void SetSdaHigh() { Drive(map_.Arrangement().sda, map_.complementSdaOut, true); }
  void SetSclLow() { Drive(map_.Arrangement().scl, map_.complementScl, false); }
  void SetSclHigh() { Drive(map_.Arrangement().scl, map_.complementScl, true); }
  void SetValimLow() { Drive(map_.Arrangement().valim, map_.complementValim, false); }
  void SetValimHigh() { Drive(map_.Arrangement().valim, map_.complementValim, true); }
  // One status read, answered before returning: on a port that streams, a round trip.
  [[nodiscard]] uint8_t ReadSda();
  // One status read whose SDA level is ORed into bit `bit` of `into` (which the caller cleared):
  // at once on a port that reads at once, at the next Flush on a port that streams. `into`
  // must live until then.
  void SampleSda(uint8_t& into, int bit);
  // Every sample taken so far is in its destination afterwards.
  void Flush();

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
  // A sample waiting for its status word.
  struct Pending {
    InputLevels inputs;
    uint8_t* into;
    uint8_t mask;
  };
  // Bounds the memory a long stream of samples takes (a 24C512 read has half a million): the
  // driver flushes when this many wait.
  static constexpr size_t kMaxPending = 1U << 16;

  // Logical 1 is the asserted level unless the signal is complemented.
  void Drive(OutputLine line, bool complement, bool level) {
    if (!port_.SetLine(line, level != complement)) portFailed_ = true;
    AccessDelay();
  }
  void AccessDelay() {
    for (int32_t i = 0; i < map_.accessTime; ++i) {
      if (!port_.ReadInputsLater(inputs_)) portFailed_ = true;
    }
    queued_ = queued_ || (deferred_ && map_.accessTime > 0);
  }
  [[nodiscard]] bool SdaBit(InputLevels inputs) const {
    return inputs[map_.SdaInputLine()] != map_.complementSdaIn;
  }

  const LineMap& map_;
  ControlPort& port_;
  const bool deferred_;  // the port answers status reads at its flush
  bool queued_ = false;  // deferred reads sent since the last flush
  InputLevels inputs_;   // scratch for every status read, the delay reads included
  bool portFailed_ = false;
  std::vector<Pending> pending_;  // reserved once: the port holds pointers into it
};

}  // namespace keldar
