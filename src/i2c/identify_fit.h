// Which types of the catalogue explain the bytes read from a bus: each type, at each setting of
// its pins and as the variants real parts have, is held against the reads. Reasoning only: the
// transfers are the identification's.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "i2c/identify.h"

namespace keldar {

// A random read at a select address, and the bytes it gave.
struct BusSample {
  uint8_t select;
  uint32_t address;  // the word address sent
  std::vector<uint8_t> bytes;
};

struct TypeFit {
  std::vector<int32_t> types;  // catalogue indices, in catalogue order
  uint8_t others = 0;          // answering select addresses left to other devices
  bool selfRepeating = false;  // only fits that need the contents to repeat by themselves
};

// The types that explain the samples best, all read at `width`, among those that answer the
// select addresses set in `answering`, `examined` among them. No samples: the addresses alone.
[[nodiscard]] TypeFit FitTypes(const std::vector<BusSample>& samples, AddressWidth width,
                               uint8_t answering, uint8_t examined);

// What the samples show at the examined select address: where its first bytes come back among
// `mirrors` and after `end` (where its word address runs out), and which other select
// addresses read them.
void NoteRepetitions(const std::vector<BusSample>& samples, std::span<const uint32_t> mirrors,
                     uint32_t end, IdentifyFindings& seen);

[[nodiscard]] bool Uniform(std::span<const uint8_t> bytes);

}  // namespace keldar
