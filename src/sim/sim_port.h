// The simulated reader: a ControlPort whose three output lines and four inputs are wired, as a
// real reader is, to a simulated memory. Time is simulated: each port call advances the clock by
// its cost and Sleep by its milliseconds; nothing really sleeps unless pace=real asks the wall
// clock to keep up with the simulated one.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hw/port.h"
#include "sim/bus_timing.h"
#include "sim/eeprom.h"
#include "sim/sim_config.h"
#include "sim/vcd_writer.h"

namespace keldar::sim {

class SimulatedReader final : public ControlPort {
 public:
  // config holds indices within range, as ParseSimDevice gives them.
  explicit SimulatedReader(const SimConfig& config);
  // Saves the memory into the image file when one was named.
  ~SimulatedReader() override;
  SimulatedReader(const SimulatedReader&) = delete;
  SimulatedReader& operator=(const SimulatedReader&) = delete;

  bool SetLine(OutputLine line, bool asserted) override;
  bool ReadInputs(InputLevels& levels) override;
  void Sleep(uint32_t milliseconds) override;

  const SimConfig& config() const { return config_; }
  // Faults may be changed between calls; they act from the next event on.
  SimFaults& faults() { return config_.faults; }
  void SetCallCost(uint64_t ns) { config_.callCostNs = ns; }

  // With pace=real, how a call waits for the wall clock to reach the simulated time; by default
  // the calling thread sleeps until then. A host that holds a lock around its calls into the
  // reader (the syscall shim) waits after releasing it instead.
  using Pacer = std::function<void(std::chrono::steady_clock::time_point due)>;
  void SetPacer(Pacer pacer) { pacer_ = std::move(pacer); }
  void SetWriteCycleTime(uint64_t ns);

  // The fitted memory's cells (its capacity), readable and writable directly.
  std::span<uint8_t> memory();
  SimulatedEeprom& eeprom() { return eeprom_; }
  const EepromCounters& counters() const { return eeprom_.counters(); }
  // Bus phases shorter than the speed class (speed=) allows, by kind; all 0 when unchecked.
  const TimingViolations& timingViolations() const { return timing_.violations(); }

  uint64_t clock() const { return now_; }  // simulated nanoseconds since opening
  uint64_t calls() const { return calls_; }

  // The lines as an adapter chip drives and reads them at given instants (nanoseconds, never
  // going back) instead of through port calls: asserted levels, TxD asserted meaning break.
  void DriveLines(uint64_t at, bool txd, bool dtr, bool rts);
  // The inputs at that instant; the memory's timing check counts it as a sample.
  InputLevels InputsAt(uint64_t at);
  // Lets time pass: the trace and a running write cycle catch up.
  void AdvanceTo(uint64_t at);

  // Physical output lines, true when asserted (TxD: in break).
  bool txd() const { return lines_[static_cast<size_t>(OutputLine::Txd)]; }
  bool dtr() const { return lines_[static_cast<size_t>(OutputLine::Dtr)]; }
  bool rts() const { return lines_[static_cast<size_t>(OutputLine::Rts)]; }
  // The inputs a status read would give now.
  InputLevels Inputs() const;
  // Levels at the memory's pins: supply, clock and the wired AND of SDA.
  bool valim() const { return valim_; }
  bool scl() const { return scl_; }
  bool sda() const { return BusSda(now_); }

  // Loads the memory from the image file (missing file: all 0xFF) or writes it there, through a
  // temporary file renamed over the old one. False and a French message on failure.
  [[nodiscard]] bool LoadImage(std::string& error);
  [[nodiscard]] bool SaveImage(std::string& error);
  // Starts the bus trace; false and a French message when the file cannot be created.
  [[nodiscard]] bool OpenVcd(std::string& error);

 private:
  enum class Role : uint8_t { Valim, Scl, Sda };

  bool PulledOut() const {
    return config_.faults.pullOutCall != 0 && calls_ >= config_.faults.pullOutCall;
  }
  // The in-situ adapter's transistors invert SCL and SDA (not Valim) between port and bus.
  bool ThroughAdapter(bool level) const {
    return config_.wiring == Wiring::InSitu ? !level : level;
  }
  // A physical output line to its asserted level, as a port call or an adapter's pin sets it.
  void SwitchLine(size_t line, bool level);
  // One read of the inputs, which the memory's timing check counts as the master's sample.
  InputLevels Sample();
  bool MemoryPowered() const {
    return valim_ && (!config_.absent || !board_.empty()) && !config_.noReader;
  }
  void LineChanged(Role role, bool physical);
  void ClockChanged();
  void DataChanged(bool before);
  // The memory's output shows on SDA a while after the event that changed it (tAA after a fall
  // of SCL when the timing is checked, at once otherwise).
  bool MemoryPullsLow(uint64_t at) const { return at >= outputAt_ ? PullsLow() : outputBefore_; }
  // Open drain: any memory on the bus pulling SDA low.
  bool PullsLow() const;
  // The fitted memory (unless absent) and the board's, alike for every event at the pins.
  template <typename Event>
  void ForEachMemory(Event event) {
    if (!config_.absent) event(eeprom_);
    for (const auto& part : board_)
      event(*part);
  }
  void OutputMoving(bool before, uint64_t delay, uint64_t traceDelay);
  bool BusSda(uint64_t at) const;
  void TraceOutput(uint64_t until);
  // pace=real: lets the wall clock catch up with the simulated one.
  void Pace();
  // The trace costs nothing when no VCD file was asked for.
  void Trace(uint64_t at, VcdWriter::Signal signal, bool level) {
    if (vcd_.isOpen()) vcd_.Change(at, signal, level);
  }

  SimConfig config_;
  // The shortest time between two of the master's moves: a port call, or an adapter's byte.
  uint64_t stepNs_;
  SimulatedEeprom eeprom_;
  SimFaults boardFaults_;  // the board's memories suffer no fault
  std::vector<std::unique_ptr<SimulatedEeprom>> board_;
  // Indexed as OutputLine; a port opens with DTR and RTS asserted.
  std::array<bool, 3> lines_{false, true, true};
  std::array<Role, 3> roles_{};  // what each physical line carries
  bool valim_ = false;
  bool scl_ = false;
  bool masterSda_ = false;
  bool outputBefore_ = false;  // the memory's output until outputAt_
  uint64_t outputAt_ = 0;
  uint64_t traceAt_ = 0;  // when the memory's latest output change goes into the trace
  bool tracePending_ = false;
  bool sdaBeforeMove_ = true;  // the bus level before the master's last move of SDA
  BusTimingCheck timing_;
  uint64_t now_ = 0;
  uint64_t calls_ = 0;
  bool saveOnClose_ = false;  // set once the image was loaded, so a refused file is never replaced
  std::chrono::steady_clock::time_point paceStart_;  // the wall time of simulated time 0
  Pacer pacer_;
  VcdWriter vcd_;
};

// Opens a simulated reader from a device string; nullptr and a French message when the string is
// refused, the image cannot be read or the trace cannot be created.
[[nodiscard]] std::unique_ptr<SimulatedReader> OpenSimulatedPort(std::string_view device,
                                                                 std::string& error);

}  // namespace keldar::sim
