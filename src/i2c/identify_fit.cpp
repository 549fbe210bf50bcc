#include "i2c/identify_fit.h"

#include <algorithm>
#include <bit>
#include <map>
#include <optional>

#include "i2c/catalogue.h"

namespace keldar {

namespace {

constexpr uint8_t kSelects = 8;
constexpr uint32_t kWindow = 8;   // bytes compared as one
constexpr uint32_t kBlock = 256;  // what one word-address byte reaches

// One way a type of the catalogue could sit on the bus.
struct Hypothesis {
  const MemoryType* type;
  uint8_t compared;  // select bits the part compares with its pins
  uint8_t pins;
  uint32_t span;  // where its sequential reads wrap

  [[nodiscard]] uint8_t Answers() const {
    uint8_t answers = 0;
    for (uint8_t s = 0; s < kSelects; ++s) {
      if ((s & compared) == pins) answers = static_cast<uint8_t>(answers | 1U << s);
    }
    return answers;
  }

  // The cell a byte of the sample comes from; nothing when another device gave it.
  [[nodiscard]] std::optional<uint32_t> Cell(const BusSample& sample, uint32_t index) const {
    if (((Answers() >> sample.select) & 1U) == 0) return std::nullopt;
    const uint32_t capacity = type->capacity;
    uint32_t start = 0;
    if (type->addressBytes == 1) {
      // The select bits the pins leave free carry address bits 10..8.
      const uint32_t blocks = std::max<uint32_t>(capacity / kBlock, 1);
      start = (sample.select & (blocks - 1)) * kBlock + (sample.address & 0xFFU);
    } else {
      // Above 64 KiB, address bit 16 and up ride in the device byte from bit a16Bit.
      const uint32_t halves = std::max<uint32_t>(capacity >> 16, 1);
      const uint32_t high =
          type->a16Bit != 0 ? (uint32_t{sample.select} << 1 >> type->a16Bit) & (halves - 1) : 0;
      start = (high << 16) | (sample.address & 0xFFFFU);
    }
    start &= capacity - 1;  // the address bits above the capacity are ignored
    return (start & ~(span - 1)) | ((start + index) & (span - 1));
  }
};

// The select bits a type compares with its pins. The 24C00 has no chip-select pins: its three
// select bits are "don't care" (Microchip 24AA00/24LC00/24C00, DS21178H, 5.0).
uint8_t ComparedBits(const MemoryType& type) {
  return type.typeIndex == 0 ? uint8_t{0} : type.baseMask;
}

// Every way the types of this width can sit on the bus: at each setting of their pins; for one
// address byte also as Microchip's B parts, whose select bits are "don't care" where the others
// compare pins (24AA01/24LC01B DS21711J, 24AA02/24LC02B DS21709J, 5.0), and as the older parts
// whose sequential reads wrap at their 256-byte block (24C04A and the like).
std::vector<Hypothesis> Hypotheses(AddressWidth width) {
  std::vector<Hypothesis> all;
  for (const MemoryType& type : kMemoryTypes) {
    if (type.typeIndex == kX24C01Index) continue;
    const bool oneByte = type.addressBytes == 1;
    if (width != AddressWidth::Unknown && oneByte != (width == AddressWidth::OneByte)) continue;
    std::vector<uint8_t> compared{ComparedBits(type)};
    if (oneByte && compared.front() != 0) compared.push_back(0);
    std::vector<uint32_t> spans{SequentialSpan(type)};
    if (oneByte && type.capacity > kBlock) spans.push_back(kBlock);
    for (const uint8_t bits : compared) {
      for (const uint32_t span : spans) {
        for (uint8_t pins = 0; pins < kSelects; ++pins) {
          if ((pins & bits) == pins) all.push_back({&type, bits, pins, span});
        }
      }
    }
  }
  return all;
}

// How well a hypothesis explains the samples.
struct Fit {
  const Hypothesis* hypothesis;
  uint32_t coincidences;  // equal windows it holds to be different cells
  int others;             // answering select addresses it leaves to other devices
};

// Nothing when the hypothesis cannot be: a select address it answers did not, the examined one
// is not its, or one of its cells read two different values.
std::optional<Fit> Evaluate(const Hypothesis& h, const std::vector<BusSample>& samples,
                            uint8_t answering, uint8_t examined) {
  const uint8_t answers = h.Answers();
  if ((answers & ~answering) != 0 || ((answers >> examined) & 1U) == 0) return std::nullopt;
  std::map<uint32_t, uint8_t> cells;
  for (const BusSample& sample : samples) {
    for (uint32_t i = 0; i < sample.bytes.size(); ++i) {
      const std::optional<uint32_t> cell = h.Cell(sample, i);
      if (!cell) continue;
      const auto [at, added] = cells.emplace(*cell, sample.bytes[i]);
      if (!added && at->second != sample.bytes[i]) return std::nullopt;
    }
  }
  // Equal windows of varied bytes are the same cells, or a coincidence: the part and another
  // device holding the same bytes, or one part holding them twice.
  struct Window {
    const BusSample* sample;
    uint32_t offset;
  };
  std::vector<Window> windows;
  for (const BusSample& sample : samples) {
    for (uint32_t offset = 0; offset + kWindow <= sample.bytes.size(); offset += kWindow)
      windows.push_back({&sample, offset});
  }
  const auto bytes = [](const Window& w) {
    return std::span(w.sample->bytes).subspan(w.offset, kWindow);
  };
  uint32_t coincidences = 0;
  for (size_t a = 0; a < windows.size(); ++a) {
    for (size_t b = a + 1; b < windows.size(); ++b) {
      const auto first = bytes(windows[a]);
      if (Uniform(first) || !std::ranges::equal(first, bytes(windows[b]))) continue;
      const bool ownA = h.Cell(*windows[a].sample, 0).has_value();
      const bool ownB = h.Cell(*windows[b].sample, 0).has_value();
      if (!ownA && !ownB) continue;
      bool distinct = true;
      for (uint32_t i = 0; ownA && ownB && i < kWindow; ++i) {
        distinct = distinct && h.Cell(*windows[a].sample, windows[a].offset + i) !=
                                   h.Cell(*windows[b].sample, windows[b].offset + i);
      }
      if (distinct) ++coincidences;
    }
  }
  return Fit{&h, coincidences, std::popcount(static_cast<uint8_t>(answering & ~answers))};
}

// The fits that explain the samples best: those that need no coincidence, or all of them when
// the contents repeat by themselves; then those that leave fewest select addresses to others.
std::vector<Fit> Best(std::vector<Fit> fits, bool& selfRepeating) {
  const auto fewest = [](const std::vector<Fit>& from, auto key) {
    std::vector<Fit> kept;
    for (const Fit& fit : from) {
      if (kept.empty() || key(fit) < key(kept.front())) kept.clear();
      if (kept.empty() || key(fit) == key(kept.front())) kept.push_back(fit);
    }
    return kept;
  };
  const auto least = std::min_element(fits.begin(), fits.end(), [](const Fit& a, const Fit& b) {
    return a.coincidences < b.coincidences;
  });
  selfRepeating = least != fits.end() && least->coincidences > 0;
  if (!selfRepeating) fits = fewest(fits, [](const Fit& f) { return f.coincidences; });
  return fewest(fits, [](const Fit& f) { return f.others; });
}

// The bytes at address..address+7 of a select address, when a sample holds them.
std::optional<std::span<const uint8_t>> WindowAt(const std::vector<BusSample>& samples,
                                                 uint8_t select, uint32_t address) {
  for (const BusSample& sample : samples) {
    if (sample.select != select || address < sample.address ||
        address + kWindow > sample.address + sample.bytes.size()) {
      continue;
    }
    return std::span(sample.bytes).subspan(address - sample.address, kWindow);
  }
  return std::nullopt;
}

}  // namespace

void NoteRepetitions(const std::vector<BusSample>& samples, std::span<const uint32_t> mirrors,
                     uint32_t end, IdentifyFindings& seen) {
  const auto examined = static_cast<uint8_t>(seen.examined);
  const std::optional<std::span<const uint8_t>> start = WindowAt(samples, examined, 0);
  if (!start || Uniform(*start)) return;
  for (const uint32_t mirror : mirrors) {
    const auto window = WindowAt(samples, examined, mirror);
    if (window && std::ranges::equal(*window, *start)) {
      seen.repeatsEvery = mirror;
      break;
    }
  }
  if (const auto after = WindowAt(samples, examined, end)) {
    seen.wrapsAtEnd = std::ranges::equal(*after, *start);
  }
  for (uint8_t s = 0; s < kSelects; ++s) {
    const auto window = s == examined ? std::nullopt : WindowAt(samples, s, 0);
    if (window && std::ranges::equal(*window, *start))
      seen.sameContents = static_cast<uint8_t>(seen.sameContents | 1U << s);
  }
}

bool Uniform(std::span<const uint8_t> bytes) {
  return std::adjacent_find(bytes.begin(), bytes.end(), std::not_equal_to<>()) == bytes.end();
}

TypeFit FitTypes(const std::vector<BusSample>& samples, AddressWidth width, uint8_t answering,
                 uint8_t examined) {
  const std::vector<Hypothesis> hypotheses = Hypotheses(width);
  std::vector<Fit> fits;
  for (const Hypothesis& h : hypotheses) {
    if (const std::optional<Fit> fit = Evaluate(h, samples, answering, examined)) {
      fits.push_back(*fit);
    }
  }
  TypeFit result;
  fits = Best(std::move(fits), result.selfRepeating);
  for (const Fit& fit : fits)
    result.types.push_back(fit.hypothesis->type->typeIndex);
  std::sort(result.types.begin(), result.types.end());
  result.types.erase(std::unique(result.types.begin(), result.types.end()), result.types.end());
  if (!fits.empty()) {
    result.others = static_cast<uint8_t>(answering & ~fits.front().hypothesis->Answers());
  }
  return result;
}

}  // namespace keldar
