#include "devices/port_probe.h"

#include <chrono>
#include <memory>

#include "devices/open_device.h"
#include "hw/bitbang_port.h"
#include "hw/line_driver.h"

namespace keldar {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kProbeCalls = 200;                 // per measure, at most
constexpr std::chrono::seconds kProbeBudget{3};  // per measure, at most

// Passes every call on and times it.
class TimingPort final : public ControlPort {
 public:
  TimingPort(ControlPort& port, PortProbe& probe) : port_(port), probe_(probe) {}

  bool SetLine(OutputLine line, bool asserted) override {
    const Clock::time_point start = Clock::now();
    const bool ok = port_.SetLine(line, asserted);
    Add(line == OutputLine::Txd   ? probe_.txd
        : line == OutputLine::Dtr ? probe_.dtr
                                  : probe_.rts,
        start);
    return ok;
  }
  bool ReadInputs(InputLevels& levels) override {
    const Clock::time_point start = Clock::now();
    const bool ok = port_.ReadInputs(levels);
    Add(probe_.status, start);
    return ok;
  }
  void Sleep(uint32_t milliseconds) override { port_.Sleep(milliseconds); }

 private:
  static void Add(CallTally& tally, Clock::time_point start) {
    ++tally.calls;
    tally.seconds += std::chrono::duration<double>(Clock::now() - start).count();
  }

  ControlPort& port_;
  PortProbe& probe_;
};

// Runs one step up to kProbeCalls times, or for kProbeBudget: a CH341 whose break is emulated
// takes a fifth of a second for each.
template <typename Step>
void Repeat(const Step& step) {
  const Clock::time_point end = Clock::now() + kProbeBudget;
  for (int i = 0; i < kProbeCalls && Clock::now() < end; ++i)
    step();
}

}  // namespace

PortCallCosts PortProbe::Costs() const {
  if (streams) {
    // Every call is a byte of the stream at the rate it reached; a read waited for, as each
    // poll is, costs the round trip the status reads measured.
    const double byte = streamRate == 0 ? 0 : 1.0 / streamRate;
    return {byte, byte, byte, byte, status.Mean()};
  }
  const double modem = dtr.calls + rts.calls == 0
                           ? txd.Mean()
                           : (dtr.seconds + rts.seconds) / double(dtr.calls + rts.calls);
  const auto mean = [modem](const CallTally& tally) {
    return tally.calls == 0 ? modem : tally.Mean();
  };
  return {mean(txd), mean(dtr), mean(rts), status.Mean()};
}

PortProbe ProbePort(ControlPort& port, const LineMap& map) {
  PortProbe probe;
  if (const auto* cable = dynamic_cast<const BitBangPort*>(&port)) {
    probe.streams = true;
    probe.streamRate = cable->measuredRate();
    probe.askedStreamRate = cable->askedRate();
  }
  TimingPort timed(port, probe);
  LineMap measured = map;
  measured.accessTime = 0;
  LineDriver lines(measured, timed);
  lines.PowerOff();
  InputLevels inputs;
  Repeat([&] {
    if (!timed.ReadInputs(inputs)) probe.failed = true;
  });
  Repeat([&] {
    lines.SetSclHigh();
    lines.SetSclLow();
  });
  Repeat([&] {
    lines.SetSdaHigh();
    lines.SetSdaLow();
  });
  lines.PowerOff();
  probe.failed = probe.failed || lines.PortFailed();
  return probe;
}

OperationTimes EstimateOperationTimes(const MemoryType& type, const LineMap& map,
                                      const PortCallCosts& costs) {
  OperationTimes times;
  times.read = EstimateSeconds(ReadCalls(type), map, costs, DatasheetWriteCycleSeconds(type));
  times.pageProgram =
      EstimateSeconds(PageProgramCalls(type), map, costs, DatasheetWriteCycleSeconds(type));
  times.compare = times.read;
  return times;
}

DeviceMeasurement MeasureDevice(const std::string& device, ControlPort* heldPort,
                                const LineMap& map, const MemoryType& type) {
  DeviceMeasurement measurement;
  std::unique_ptr<ControlPort> opened;
  if (heldPort == nullptr) {
    PortOpening opening = OpenDevice(device);
    opened = std::move(opening.port);
    if (!opened) {
      measurement.refusal = std::move(opening.refusal);
      return measurement;
    }
  }
  measurement.probe = ProbePort(heldPort != nullptr ? *heldPort : *opened, map);
  if (measurement.probe.failed) {
    measurement.outcome = MeasureOutcome::PortFailed;
    return measurement;
  }
  measurement.outcome = MeasureOutcome::Measured;
  measurement.times = EstimateOperationTimes(type, map, measurement.probe.Costs());
  return measurement;
}

}  // namespace keldar
