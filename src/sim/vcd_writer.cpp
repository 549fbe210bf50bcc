#include "sim/vcd_writer.h"

#include <cinttypes>

#include "data/file_system.h"

namespace keldar::sim {

namespace {
constexpr char kIds[3] = {'C', 'D', 'V'};
constexpr const char* kNames[3] = {"SCL", "SDA", "VALIM"};
}  // namespace

VcdWriter::~VcdWriter() {
  Close(lastTick_ * unitNs_);
}

uint64_t VcdWriter::UnitFor(uint64_t callCostNs) {
  uint64_t unit = 1;
  while (unit < 1000 && unit * 10 <= callCostNs / 2)
    unit *= 10;
  return unit;
}

bool VcdWriter::Open(const std::string& path, uint64_t unitNs, bool scl, bool sda, bool valim) {
  Close(0);
  file_ = OpenFile(PathFromUtf8(path), "wb");
  if (file_ == nullptr) return false;
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
  unitNs_ = unitNs == 0 ? 1 : unitNs;
  lastTick_ = 0;
  levels_[kScl] = scl;
  levels_[kSda] = sda;
  levels_[kValim] = valim;
  const char* unit = unitNs_ >= 1000 ? "us" : "ns";
  const uint64_t scale = unitNs_ >= 1000 ? unitNs_ / 1000 : unitNs_;
  std::fprintf(file_, "$version keldar simulated reader $end\n");
  std::fprintf(file_, "$timescale %" PRIu64 " %s $end\n", scale, unit);
  std::fprintf(file_, "$scope module reader $end\n");
  for (int i = 0; i < 3; ++i)
    std::fprintf(file_, "$var wire 1 %c %s $end\n", kIds[i], kNames[i]);
  std::fprintf(file_, "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n");
  for (int i = 0; i < 3; ++i)
    std::fprintf(file_, "%d%c\n", levels_[i] ? 1 : 0, kIds[i]);
  std::fprintf(file_, "$end\n");
  return true;
}

void VcdWriter::Change(uint64_t t, Signal signal, bool level) {
  if (file_ == nullptr || levels_[signal] == level) return;
  levels_[signal] = level;
  const uint64_t tick = t / unitNs_;
  if (tick > lastTick_) {
    lastTick_ = tick;
    std::fprintf(file_, "#%" PRIu64 "\n", tick);
  }
  std::fprintf(file_, "%d%c\n", level ? 1 : 0, kIds[signal]);
}

void VcdWriter::Close(uint64_t t) {
  if (file_ == nullptr) return;
  const uint64_t tick = t / unitNs_;
  if (tick > lastTick_) std::fprintf(file_, "#%" PRIu64 "\n", tick);
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace keldar::sim
