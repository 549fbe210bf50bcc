// The line primitives as bytes of an FTDI bit-bang stream: each output change is one byte, and
// accessTime more that keep the outputs as they are, as each change costs 1 + accessTime calls
// on a serial port; ReadSda is one byte whose sample is asked for. Nothing waits: the samples
// come back later, in the order they were asked for, and SdaOf reads SDA in one.
#pragma once

#include <cstdint>

#include "hw/bitbang_port.h"
#include "hw/line_driver.h"
#include "hw/linemap.h"

namespace keldar {

class StreamLines {
 public:
  StreamLines(const LineMap& map, BitBangPort& port) : map_(map), port_(port) {}

  void SetSdaLow() { Drive(map_.Arrangement().sda, map_.complementSdaOut, false); }
  void SetSdaHigh() { Drive(map_.Arrangement().sda, map_.complementSdaOut, true); }
  void SetSclLow() { Drive(map_.Arrangement().scl, map_.complementScl, false); }
  void SetSclHigh() { Drive(map_.Arrangement().scl, map_.complementScl, true); }
  void SetValimLow() { Drive(map_.Arrangement().valim, map_.complementValim, false); }
  void SetValimHigh() { Drive(map_.Arrangement().valim, map_.complementValim, true); }
  // Asks for the sample; what it returns stands for nothing.
  uint8_t ReadSda() {
    port_.QueueHold(true);
    return 0;
  }
  void Sleep(uint32_t milliseconds) { port_.Sleep(milliseconds); }

  void PowerOn() { PowerOnSequence(*this); }
  void PowerOff() { PowerOffSequence(*this); }

  // The logical SDA level a sample stands for.
  [[nodiscard]] uint8_t SdaOf(InputLevels sample) const {
    return sample[map_.SdaInputLine()] != map_.complementSdaIn ? 1 : 0;
  }
  BitBangPort& port() { return port_; }

 private:
  void Drive(OutputLine line, bool complement, bool level) {
    port_.QueueChange(line, level != complement);
    for (int32_t i = 0; i < map_.accessTime; ++i)
      port_.QueueHold(false);
  }

  const LineMap& map_;
  BitBangPort& port_;
};

}  // namespace keldar
