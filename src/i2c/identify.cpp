#include "i2c/identify.h"

#include <array>
#include <bit>
#include <optional>
#include <span>

#include "i2c/catalogue.h"
#include "i2c/identify_fit.h"

namespace keldar {

namespace {

constexpr uint8_t kSelects = 8;
// The X24C01's control byte reading its address 0. It is also the I2C START byte, which no I2C
// device acknowledges (NXP UM10204, 3.1.12 and Table 3).
constexpr uint8_t kPseudoI2cRead = 0x01;
constexpr uint32_t kWindow = 8;   // bytes compared as one
constexpr uint32_t kBlock = 256;  // what one word-address byte reaches

uint8_t DeviceByte(uint8_t select, uint8_t rw) {
  return static_cast<uint8_t>(0xA0U | (select << 1) | rw);
}

// One random read of the plan.
struct Read {
  uint8_t select;
  uint32_t address;
  uint32_t count;
};

// Where the examined part is read, beside the two reads that tell the width (addresses 0 and 1
// with two address bytes): where each width's types mirror their contents, and the halves of
// those places, which tell a mirror from contents that repeat by themselves.
constexpr uint32_t kOneByteReads[][2] = {{0x00, 3 * kWindow}, {0x40, kWindow}, {0x80, kWindow}};
constexpr uint32_t kOneByteMirrors[] = {16, 128};
constexpr uint32_t kTwoByteReads[][2] = {
    {0x0800, kWindow}, {0x1000, kWindow}, {0x2000, kWindow}, {0x4000, kWindow}, {0x8000, kWindow}};
constexpr uint32_t kTwoByteMirrors[] = {0x1000, 0x2000, 0x4000, 0x8000};

// The reads of a part of this width at the examined select address; when others answer, across
// its end (into the next select address on a part of several blocks) and, for one address byte,
// at each of them: with one address byte only, which a register device takes as its pointer
// where it would take a second one as data.
std::vector<Read> Plan(AddressWidth width, uint8_t answering, uint8_t examined) {
  const bool oneByte = width == AddressWidth::OneByte;
  std::vector<Read> reads;
  for (const auto& [address, count] : oneByte ? std::span<const uint32_t[2]>(kOneByteReads)
                                              : std::span<const uint32_t[2]>(kTwoByteReads)) {
    reads.push_back({examined, address, count});
  }
  if (std::popcount(answering) < 2) return reads;
  reads.push_back({examined, oneByte ? kBlock - kWindow : 0x10000 - kWindow, 2 * kWindow});
  for (uint8_t s = 0; oneByte && s < kSelects; ++s) {
    if (s != examined && ((answering >> s) & 1U) != 0) reads.push_back({s, 0, kWindow});
  }
  return reads;
}

// The transfers, each from a bus idle to a bus idle, and the safe points between them.
class Prober {
 public:
  Prober(BusExecutor& bus, const ProgressCallback& progress, const OperationControl& control)
      : bus_(bus), progress_(progress), control_(control) {}

  // Before each transfer: false once the user asked to stop or a port call failed.
  bool Next() {
    if (!stopped_ && control_.stopRequested && control_.stopRequested()) stopped_ = true;
    if (stopped_ || bus_.PortFailed()) return false;
    if (progress_) progress_(steps_);
    ++steps_;
    return true;
  }
  [[nodiscard]] bool stopped() const { return stopped_; }

  // Start, a device byte for writing, stop: no word address and no data, nothing written.
  bool Acknowledges(uint8_t select) {
    Segment probe;
    probe.control = DeviceByte(select, 0);
    return !bus_.Execute({false, {&probe, 1}, nullptr}).refused;
  }

  // An X24C01 takes any byte as its control byte: this one reads its address 0, a byte that
  // is then clocked out and not acknowledged.
  bool PseudoI2cAnswers() {
    uint8_t first = 0;
    Segment read;
    read.control = kPseudoI2cRead;
    read.in = std::span<uint8_t>(&first, 1);
    return !bus_.Execute({false, {&read, 1}, nullptr}).refused;
  }

  // A random read: the device byte for writing, the word address (addressBytes of it), a
  // repeated start, the device byte for reading, count bytes, stop. Nothing when the first
  // device byte is refused, after which the stop follows it alone.
  // After the word address comes a repeated start whatever the part answered, never a stop: a
  // part of one address byte takes a second one as data, and only a stop right after a data
  // byte starts a write cycle (ST M24C01..M24C16, Doc ID 5067, 3.6; Microchip AT24CM01,
  // DS20006170, 7.1; Xicor X24C01, Byte Write); a start ends the write command without one
  // (Microchip 24AA02/24LC02B, DS21709J, 8.2).
  std::optional<BusSample> RandomRead(uint8_t select, int addressBytes, uint32_t address,
                                      uint32_t count) {
    const std::array<uint8_t, 2> word{static_cast<uint8_t>(address >> 8),
                                      static_cast<uint8_t>(address)};
    BusSample sample{select, address, std::vector<uint8_t>(count)};
    std::array<Segment, 2> segments;
    segments[0].control = DeviceByte(select, 0);
    segments[0].address = std::span(word).last(static_cast<size_t>(addressBytes));
    segments[0].addressRefusalEnds = false;
    segments[1].control = DeviceByte(select, 1);
    segments[1].controlRefusalEnds = false;
    segments[1].in = sample.bytes;
    if (bus_.Execute({false, segments, nullptr}).refused) return std::nullopt;
    return sample;
  }

 private:
  BusExecutor& bus_;
  const ProgressCallback& progress_;
  const OperationControl& control_;
  uint32_t steps_ = 0;
  bool stopped_ = false;
};

void Probe(Prober& bus, int32_t baseAddress, IdentifyOutcome& outcome) {
  IdentifyFindings& seen = outcome.seen;
  // The X24C01 first: to it the device bytes below would be write commands.
  if (!bus.Next()) return;
  if ((seen.pseudoI2c = bus.PseudoI2cAnswers())) {
    outcome.verdict = IdentifyVerdict::OneType;
    outcome.types = {kX24C01Index};
    return;
  }
  for (uint8_t s = 0; s < kSelects; ++s) {
    if (!bus.Next()) return;
    if (bus.Acknowledges(s)) seen.answering = static_cast<uint8_t>(seen.answering | 1U << s);
  }
  const auto examined = static_cast<uint8_t>(baseAddress & 7);
  outcome.verdict = IdentifyVerdict::NothingAnswers;
  if (((seen.answering >> examined) & 1U) == 0) return;
  seen.examined = examined;

  // Two reads after two address bytes, the first 0 and the second 0 then 1. A part of one
  // address byte takes the second as data and reads from the same place twice; a part of two
  // reads from 0 and from 1, the same bytes only when its first nine are all alike.
  std::vector<BusSample> samples;
  outcome.verdict = IdentifyVerdict::NoType;
  for (const uint32_t address : {0U, 1U}) {
    if (!bus.Next()) return;
    std::optional<BusSample> sample = bus.RandomRead(examined, 2, address, kWindow);
    if (!sample) return;
    samples.push_back(std::move(*sample));
  }
  if (samples[0].bytes != samples[1].bytes) {
    seen.width = AddressWidth::TwoBytes;
  } else if (!Uniform(samples[0].bytes)) {
    seen.width = AddressWidth::OneByte;
    samples.clear();  // where they read from depends on the part's page: no help below
  } else {
    seen.uniform = samples[0].bytes.front();
    // The addresses alone may leave one type: the contents are not needed then.
    const TypeFit fit = FitTypes({}, AddressWidth::Unknown, seen.answering, examined);
    outcome.types = fit.types;
    outcome.others = fit.others;
    outcome.verdict =
        fit.types.size() == 1 ? IdentifyVerdict::OneType : IdentifyVerdict::Undeterminable;
    return;
  }

  const bool oneByte = seen.width == AddressWidth::OneByte;
  for (const Read& read : Plan(seen.width, seen.answering, examined)) {
    if (!bus.Next()) return;
    std::optional<BusSample> sample =
        bus.RandomRead(read.select, oneByte ? 1 : 2, read.address, read.count);
    if (!sample) return;
    samples.push_back(std::move(*sample));
  }
  NoteRepetitions(samples,
                  oneByte ? std::span<const uint32_t>(kOneByteMirrors)
                          : std::span<const uint32_t>(kTwoByteMirrors),
                  oneByte ? kBlock : 0x10000, seen);

  const TypeFit fit = FitTypes(samples, seen.width, seen.answering, examined);
  seen.selfRepeating = fit.selfRepeating;
  outcome.types = fit.types;
  outcome.others = fit.others;
  if (fit.types.empty()) return;
  outcome.verdict =
      fit.types.size() == 1 ? IdentifyVerdict::OneType : IdentifyVerdict::SeveralTypes;
}

}  // namespace

IdentifyOutcome IdentifyMemory(BusExecutor& bus, int32_t baseAddress,
                               const ProgressCallback& progress, const OperationControl& control) {
  bus.ClearPortFailure();
  IdentifyOutcome outcome;
  // As every operation: the memory powered, SDA must read high.
  if (bus.PowerOnAndCheck()) {
    Prober prober(bus, progress, control);
    Probe(prober, baseAddress, outcome);
    outcome.stopped = prober.stopped();
    if (progress && !outcome.stopped) progress(kIdentifySteps);
  }
  bus.PowerOff();
  outcome.portFailed = bus.PortFailed();
  return outcome;
}

}  // namespace keldar
