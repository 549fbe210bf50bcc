#include "i2c/call_counts.h"

#include <cmath>
#include <vector>

#include "i2c/line_executor.h"
#include "i2c/operations.h"

namespace keldar {
namespace {

// Counts the calls by signal under the standard map, and answers as a memory that acknowledges
// every byte would, through the I2C framing it follows: SDA high while no start has been seen
// (the line check after powering on), low at every ninth rise of SCL after a start (an
// acknowledge), and each received byte's bits at its 256-byte block's parity, so that no two
// neighbouring blocks read alike. It notes the tally at the eighth rise of SCL after the first
// start once armed, when a memory takes the byte being sent.
class CountingPort final : public ControlPort {
 public:
  explicit CountingPort(const LineMap& map)
      : lines_(map.Arrangement()), input_(map.SdaInputLine()) {}

  bool SetLine(OutputLine line, bool asserted) override {
    if (line == lines_.valim) {
      ++steps.valim;
    } else if (line == lines_.scl) {
      ++steps.scl;
      if (asserted && !scl_ && framed_ && ++rises_ == 8 && armed_) {
        armed_ = false;
        eighthRise = steps;
      }
      scl_ = asserted;
    } else {
      ++steps.sda;
      if (scl_ && sda_ != asserted) {
        framed_ = !asserted;  // SDA falls: a start; rises: a stop
        rises_ = 0;
      }
      sda_ = asserted;
    }
    return true;
  }
  bool ReadInputs(InputLevels& levels) override {
    ++steps.samples;
    bool high = true;
    if (framed_ && rises_ % 9 == 0) {
      high = false;
    } else if (framed_) {
      high = ((dataBits_++ / 8 / 256) & 1U) != 0;
    }
    levels = high ? InputLevels::Of({input_}) : InputLevels{};
    return true;
  }
  void Sleep(uint32_t milliseconds) override {
    sleepMs += milliseconds;
    framed_ = false;
  }
  void Arm() { armed_ = true; }

  BusSteps steps;
  uint64_t sleepMs = 0;
  BusSteps eighthRise;

 private:
  OutputArrangement lines_;
  InputLine input_;
  bool scl_ = false;
  bool sda_ = false;
  bool framed_ = false;
  bool armed_ = false;
  uint32_t rises_ = 0;
  uint64_t dataBits_ = 0;
};

// One acknowledge poll, answered; and from its start to the memory taking its byte.
void CountPoll(OperationCalls& calls) {
  const LineMap map;
  CountingPort port(map);
  LineExecutor bus(map, port);
  port.Arm();
  (void)bus.WaitWriteCycle(0xA0);
  calls.poll = port.steps;
  calls.pollAnswer = port.eighthRise;
}

OperationCalls ProgramCalls(const MemoryType& type, bool pageMode) {
  const LineMap map;
  CountingPort port(map);
  LineExecutor bus(map, port);
  CurrentMemory memory;
  memory.Select(type.typeIndex);
  memory.pageMode = pageMode;
  const std::vector<uint8_t> data(type.capacity, 0x00);
  OperationCalls calls;
  const OperationControl control{[&calls](uint32_t) { ++calls.writeCycles; }, {}};
  (void)ProgramMemory(bus, memory, data, {}, control);
  calls.steps = port.steps;
  calls.sleepMs = port.sleepMs;
  CountPoll(calls);
  return calls;
}

double Cost(OutputLine line, const PortCallCosts& costs) {
  switch (line) {
    case OutputLine::Txd:
      return costs.txd;
    case OutputLine::Dtr:
      return costs.dtr;
    case OutputLine::Rts:
      break;
  }
  return costs.rts;
}

double Seconds(const BusSteps& steps, const LineMap& map, const PortCallCosts& costs) {
  const double delay = map.accessTime * costs.statusRead;
  const OutputArrangement& lines = map.Arrangement();
  return static_cast<double>(steps.valim) * (Cost(lines.valim, costs) + delay) +
         static_cast<double>(steps.scl) * (Cost(lines.scl, costs) + delay) +
         static_cast<double>(steps.sda) * (Cost(lines.sda, costs) + delay) +
         static_cast<double>(steps.samples) * costs.statusRead;
}

}  // namespace

OperationCalls ReadCalls(const MemoryType& type) {
  const LineMap map;
  CountingPort port(map);
  LineExecutor bus(map, port);
  CurrentMemory memory;
  memory.Select(type.typeIndex);
  std::vector<uint8_t> into(type.capacity);
  (void)ReadMemory(bus, memory, into, {});
  OperationCalls calls;
  calls.steps = port.steps;
  calls.sleepMs = port.sleepMs;
  CountPoll(calls);
  return calls;
}

OperationCalls PageProgramCalls(const MemoryType& type) {
  return ProgramCalls(type, true);
}

OperationCalls ByteProgramCalls(const MemoryType& type) {
  return ProgramCalls(type, false);
}

double EstimateSeconds(const OperationCalls& calls, const LineMap& map, const PortCallCosts& costs,
                       double writeCycleSeconds) {
  double seconds = Seconds(calls.steps, map, costs) + static_cast<double>(calls.sleepMs) / 1000.0;
  // The write cycle starts with the page's stop, and polls follow back to back: the first one
  // whose device byte arrives after the cycle's end is answered, the ones before are repeated.
  const double poll = Seconds(calls.poll, map, costs) + costs.perPoll;
  const double answer = Seconds(calls.pollAnswer, map, costs);
  if (calls.writeCycles > 0 && poll > 0 && answer < writeCycleSeconds) {
    const double repeated = std::ceil((writeCycleSeconds - answer) / poll);
    seconds += static_cast<double>(calls.writeCycles) * repeated * poll;
  }
  return seconds;
}

}  // namespace keldar
