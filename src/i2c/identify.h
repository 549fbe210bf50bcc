// Which types of the catalogue fit the part on the bus, found by reads alone: which select
// addresses acknowledge, how many word-address bytes the part takes, where its contents repeat
// (a part ignores the address bits above its capacity) and whether a read runs on into the next
// select address. Every transfer ends right after its device byte or reads after a repeated
// start: no byte that a part could take as data is ever followed by a stop.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "i2c/bus_executor.h"
#include "i2c/operations.h"

namespace keldar {

enum class AddressWidth : uint8_t { Unknown, OneByte, TwoBytes };

enum class IdentifyVerdict : uint8_t {
  OneType,         // one type of the catalogue fits
  SeveralTypes,    // several fit the reads alike
  NoType,          // the part answers, but no type of the catalogue reads as it does
  Undeterminable,  // every byte read is the same: the contents tell no type from another
  NothingAnswers,  // nothing acknowledged the device byte of the base address
  NotStarted,      // SDA did not read high after power-on
};

// What the transfers saw.
struct IdentifyFindings {
  bool pseudoI2c = false;  // the X24C01's control byte reading address 0 was acknowledged
  uint8_t answering = 0;   // bit s: the device byte 1010 s2 s1 s0 0 was acknowledged
  int32_t examined = -1;   // the select address whose contents were read (the base address)
  AddressWidth width = AddressWidth::Unknown;
  std::optional<uint8_t> uniform;  // every byte read had this value
  uint32_t repeatsEvery = 0;       // the examined contents come back at this address; 0: not seen
  uint8_t sameContents = 0;        // bit s: select address s reads what the examined one reads
  // A read across the end of the examined select address comes back to its start (true) or goes
  // on (false); not read when only one select address answers.
  std::optional<bool> wrapsAtEnd;
  bool selfRepeating = false;  // the contents repeat where no type would mirror them
};

struct IdentifyOutcome {
  IdentifyVerdict verdict = IdentifyVerdict::NotStarted;
  // OneType: the type; SeveralTypes: those that fit; Undeterminable: those the answering select
  // addresses allow. Catalogue indices, in catalogue order.
  std::vector<int32_t> types;
  uint8_t others = 0;   // bit s: answering select addresses the part found does not explain
  bool inSitu = false;  // the reader is wired as the in-situ adapter: the part sits on a board
  IdentifyFindings seen;
  bool portFailed = false;
  bool stopped = false;  // stopped on request, between two transfers
};

// The most transfers an identification makes: the bar's maximum.
inline constexpr uint32_t kIdentifySteps = 22;

// Powers the memory on, probes it and powers it off. The part examined is the one that answers
// the device byte of baseAddress (0..7). progress moves once per transfer; a stop request is
// honoured between two transfers, the bus idle.
[[nodiscard]] IdentifyOutcome IdentifyMemory(BusExecutor& bus, int32_t baseAddress,
                                             const ProgressCallback& progress,
                                             const OperationControl& control = {});

}  // namespace keldar
