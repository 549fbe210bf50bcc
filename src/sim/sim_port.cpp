#include "sim/sim_port.h"

#include <algorithm>
#include <random>
#include <thread>

#include "i2c/catalogue.h"
#include "sim/image_file.h"
#include "sim/reader_wiring.h"

namespace keldar::sim {

SimulatedReader::SimulatedReader(const SimConfig& config)
    : config_(config),
      stepNs_(config.adapter == Adapter::Ft232r && config.bitBangRate > 0
                  ? std::min<uint64_t>(config.callCostNs, 1'000'000'000U / config.bitBangRate)
                  : config.callCostNs),
      eeprom_(config.typeIndex, config.pins, config_.faults, config.variant),
      timing_(config.speed) {
  eeprom_.SetWriteCycleTime(config_.writeCycleNs);
  for (const BoardPart& part : config_.board) {
    auto& added = board_.emplace_back(
        std::make_unique<SimulatedEeprom>(part.typeIndex, part.pins, boardFaults_));
    added->SetWriteCycleTime(config_.writeCycleNs);
    // Some contents of its own, so that it reads unlike a blank part or its neighbours.
    std::minstd_rand bytes(static_cast<uint32_t>(board_.size()));
    for (uint8_t& cell : added->contents())
      cell = static_cast<uint8_t>(bytes());
  }
  // Which physical line carries which signal: the reader's own wiring, not the program's map.
  const ReaderWiring& wiring = kReaderWirings[static_cast<size_t>(config_.outputArrangement)];
  roles_[static_cast<size_t>(wiring.valim)] = Role::Valim;
  roles_[static_cast<size_t>(wiring.scl)] = Role::Scl;
  roles_[static_cast<size_t>(wiring.sda)] = Role::Sda;
  for (size_t line = 0; line < lines_.size(); ++line) {
    const bool level = lines_[line];
    switch (roles_[line]) {
      case Role::Valim:
        valim_ = level;
        break;
      case Role::Scl:
        scl_ = ThroughAdapter(level);
        break;
      case Role::Sda:
        masterSda_ = ThroughAdapter(level);
        break;
    }
  }
  if (MemoryPowered()) {
    ForEachMemory([](SimulatedEeprom& memory) { memory.PowerUp(); });
    timing_.PowerUp(now_);
  }
}

SimulatedReader::~SimulatedReader() {
  if (saveOnClose_) {
    std::string ignored;
    (void)SaveImage(ignored);
  }
  TraceOutput(now_);
  vcd_.Close(now_);
}

void SimulatedReader::SetWriteCycleTime(uint64_t ns) {
  config_.writeCycleNs = ns;
  ForEachMemory([ns](SimulatedEeprom& memory) { memory.SetWriteCycleTime(ns); });
}

std::span<uint8_t> SimulatedReader::memory() {
  (void)eeprom_.WriteCycleRunning(now_);  // a finished write cycle lands before anyone looks
  return eeprom_.contents();
}

void SimulatedReader::Pace() {
  if (!config_.realTime) return;
  using Clock = std::chrono::steady_clock;
  // Below this a sleep costs more than it waits: calls are paced in groups.
  constexpr std::chrono::microseconds kSlack{500};
  const Clock::time_point wall = Clock::now();
  const Clock::time_point due = paceStart_ + std::chrono::nanoseconds(now_);
  if (due < wall) {
    // Time spent between calls (the user thinking, a message box) is not owed back later.
    paceStart_ = wall - std::chrono::nanoseconds(now_);
    return;
  }
  if (due - wall < kSlack) return;
  if (pacer_) {
    pacer_(due);
  } else {
    std::this_thread::sleep_until(due);
  }
}

bool SimulatedReader::SetLine(OutputLine line, bool asserted) {
  ++calls_;
  now_ += config_.callCostNs;
  Pace();
  if (PulledOut()) return false;
  SwitchLine(static_cast<size_t>(line), asserted);
  return true;
}

bool SimulatedReader::ReadInputs(InputLevels& levels) {
  ++calls_;
  now_ += config_.callCostNs;
  Pace();
  if (PulledOut()) return false;
  levels = Sample();
  return true;
}

void SimulatedReader::Sleep(uint32_t milliseconds) {
  ++calls_;
  AdvanceTo(now_ + uint64_t{milliseconds} * 1'000'000U);
}

void SimulatedReader::AdvanceTo(uint64_t at) {
  if (at <= now_) return;
  now_ = at;
  TraceOutput(now_);
  ForEachMemory([this](SimulatedEeprom& memory) { (void)memory.WriteCycleRunning(now_); });
  Pace();
}

void SimulatedReader::DriveLines(uint64_t at, bool txd, bool dtr, bool rts) {
  AdvanceTo(at);
  const std::array<bool, 3> levels{txd, dtr, rts};
  for (size_t line = 0; line < lines_.size(); ++line)
    SwitchLine(line, levels[line]);
}

InputLevels SimulatedReader::InputsAt(uint64_t at) {
  AdvanceTo(at);
  return Sample();
}

void SimulatedReader::SwitchLine(size_t line, bool level) {
  if (lines_[line] == level) return;
  lines_[line] = level;
  if (!config_.noReader) LineChanged(roles_[line], level);
}

InputLevels SimulatedReader::Sample() {
  if (MemoryPowered()) timing_.Sampled(now_);
  return Inputs();
}

InputLevels SimulatedReader::Inputs() const {
  InputLevels levels;
  if (config_.noReader) return levels;  // open inputs read as negated
  levels.Set(kReaderInputs[static_cast<size_t>(config_.sdaInput)], ThroughAdapter(BusSda(now_)));
  return levels;
}

bool SimulatedReader::PullsLow() const {
  if (!config_.absent && eeprom_.pullsSdaLow()) return true;
  return std::any_of(board_.begin(), board_.end(),
                     [](const auto& part) { return part->pullsSdaLow(); });
}

bool SimulatedReader::BusSda(uint64_t at) const {
  switch (config_.faults.stuckSda) {
    case StuckSda::Low:
      return false;
    case StuckSda::High:
      return true;
    case StuckSda::None:
      break;
  }
  // Open drain: the line is high only when neither the master nor the memory pulls it low.
  return masterSda_ && !MemoryPullsLow(at);
}

void SimulatedReader::OutputMoving(bool before, uint64_t delay, uint64_t traceDelay) {
  outputBefore_ = before;
  outputAt_ = now_ + delay;
  traceAt_ = now_ + traceDelay;
  tracePending_ = true;
  TraceOutput(now_);
}

void SimulatedReader::TraceOutput(uint64_t until) {
  if (!tracePending_ || traceAt_ > until) return;
  tracePending_ = false;
  Trace(traceAt_, VcdWriter::kSda, BusSda(traceAt_));
}

void SimulatedReader::LineChanged(Role role, bool physical) {
  // A change of the memory's output due before this edge goes into the trace first.
  TraceOutput(now_);
  const bool memory = !config_.absent || !board_.empty();
  switch (role) {
    case Role::Valim: {
      const bool before = MemoryPullsLow(now_);
      valim_ = physical;
      Trace(now_, VcdWriter::kValim, valim_);
      if (memory) {
        // The bus state machine starts afresh at every power-up; the cells keep their contents.
        if (valim_) {
          ForEachMemory([](SimulatedEeprom& part) { part.PowerUp(); });
          timing_.PowerUp(now_);
        } else {
          ForEachMemory([this](SimulatedEeprom& part) { part.PowerDown(now_); });
        }
      }
      OutputMoving(before, 0, 0);
      break;
    }
    case Role::Scl:
      scl_ = ThroughAdapter(physical);
      Trace(now_, VcdWriter::kScl, scl_);
      if (memory && valim_) ClockChanged();
      break;
    case Role::Sda: {
      const bool before = BusSda(now_);
      masterSda_ = ThroughAdapter(physical);
      Trace(now_, VcdWriter::kSda, BusSda(now_));
      if (memory && valim_ && BusSda(now_) != before) DataChanged(before);
      break;
    }
  }
}

void SimulatedReader::ClockChanged() {
  if (scl_) {
    // A bit set up too short a time before the edge is latched at its old level.
    const bool steady = timing_.SclRose(now_);
    const bool sda = steady ? BusSda(now_) : sdaBeforeMove_;
    ForEachMemory([this, sda](SimulatedEeprom& memory) { memory.SclRose(sda, now_); });
    return;
  }
  const bool before = MemoryPullsLow(now_);
  bool drives = false;
  ForEachMemory([this, &drives](SimulatedEeprom& memory) {
    memory.SclFell(now_);
    drives = drives || memory.drivesSda();
  });
  timing_.SclFell(now_, drives);
  // Unchecked, the output shows at once, and the trace draws it half a step after the edge.
  const uint64_t delay = timing_.accessTime();
  OutputMoving(before, delay, timing_.checked() ? delay : stepNs_ / 2);
}

void SimulatedReader::DataChanged(bool before) {
  if (!scl_) {
    sdaBeforeMove_ = before;
    timing_.SdaMoved(now_);
    return;
  }
  // SDA moving while SCL is high: a start when it falls, a stop when it rises. Either releases
  // the memory's output at once.
  const bool output = MemoryPullsLow(now_);
  if (before) {
    timing_.Start(now_);
    ForEachMemory([this](SimulatedEeprom& memory) { memory.StartCondition(now_); });
  } else {
    timing_.Stop(now_);
    ForEachMemory([this](SimulatedEeprom& memory) { memory.StopCondition(now_); });
  }
  OutputMoving(output, 0, 0);
}

}  // namespace keldar::sim

namespace keldar::sim {

bool SimulatedReader::LoadImage(std::string& error) {
  if (config_.imagePath.empty()) return true;
  const std::string_view name = kMemoryTypes[static_cast<size_t>(config_.typeIndex)].name;
  if (!LoadImageFile(config_.imagePath, name, eeprom_.contents(), error)) return false;
  saveOnClose_ = true;
  return true;
}

bool SimulatedReader::SaveImage(std::string& error) {
  if (config_.imagePath.empty()) return true;
  return SaveImageFile(config_.imagePath, memory(), error);
}

bool SimulatedReader::OpenVcd(std::string& error) {
  if (config_.vcdPath.empty()) return true;
  if (!vcd_.Open(config_.vcdPath, VcdWriter::UnitFor(stepNs_), scl_, BusSda(now_), valim_)) {
    error = "Impossible de créer le fichier de trace « " + config_.vcdPath + " ».";
    return false;
  }
  return true;
}

std::unique_ptr<SimulatedReader> OpenSimulatedPort(std::string_view device, std::string& error) {
  SimConfig config;
  if (!ParseSimDevice(device, config, error)) return nullptr;
  auto reader = std::make_unique<SimulatedReader>(config);
  // The trace first: a reader refused afterwards must not save over the image it loaded.
  if (!reader->OpenVcd(error) || !reader->LoadImage(error)) return nullptr;
  return reader;
}

}  // namespace keldar::sim
