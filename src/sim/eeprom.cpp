#include "sim/eeprom.h"

#include <algorithm>

#include "i2c/catalogue.h"

namespace keldar::sim {

namespace {

const MemoryType& Row(int32_t typeIndex) {
  return kMemoryTypes[static_cast<size_t>(typeIndex)];
}

// Which of the device byte's bits 3..1 must match the A2..A0 pins; the remaining bits select a
// block.
uint8_t ComparedPins(int32_t typeIndex) {
  return ComparedSelectBits(Row(typeIndex));
}

}  // namespace

SimulatedEeprom::SimulatedEeprom(int32_t typeIndex, int32_t pins, const SimFaults& faults,
                                 ChipVariant variant)
    : faults_(faults),
      typeIndex_(typeIndex),
      pins_(static_cast<uint8_t>(pins & 7)),
      capacity_(Row(typeIndex).capacity),
      pageSize_(variant.pageSize != 0 ? variant.pageSize : Row(typeIndex).pageSize),
      // A 24C04A-type part's counter never leaves the 256-byte block its device byte selected.
      // The 24LC1025's reads stay inside the half the dummy write selected.
      readSpan_(variant.rollover == Rollover::Block && Row(typeIndex).addressBytes == 1
                    ? std::min<uint32_t>(capacity_, 256)
                    : SequentialSpan(Row(typeIndex))),
      addressBytes_(Row(typeIndex).addressBytes),
      x24c01_(typeIndex == kX24C01Index),
      cells_(capacity_, 0xFF) {}

void SimulatedEeprom::PowerUp() {
  state_ = State::Idle;
  pull_ = false;
  counter_ = 0;  // the address counter comes up at 0
}

void SimulatedEeprom::PowerDown(uint64_t now) {
  // A write cycle cut short by power loss leaves the cells as they were.
  if (WriteCycleRunning(now)) {
    busy_ = false;
    ++counters_.writesAborted;
  }
  if (latched_.any()) ++counters_.writesAborted;
  latched_.reset();
  state_ = State::Idle;
  pull_ = false;
}

bool SimulatedEeprom::WriteCycleRunning(uint64_t now) {
  if (!busy_) return false;
  if (faults_.endlessWriteCycle) return true;
  const bool over =
      faults_.busyPolls >= 0 ? refusedThisCycle_ >= faults_.busyPolls : now >= busyUntil_;
  if (over) CommitWriteCycle();
  return busy_;
}

void SimulatedEeprom::CommitWriteCycle() {
  for (uint32_t offset = 0; offset < pageSize_; ++offset) {
    if (pendingMask_.test(offset)) cells_[pendingBase_ + offset] = pending_[offset];
  }
  busy_ = false;
}

void SimulatedEeprom::StartCondition(uint64_t) {
  ++counters_.starts;
  // A start (repeated or not) before a valid stop drops the latched bytes: nothing is written.
  DropLatched();
  state_ = State::Receive;
  phase_ = Phase::Device;
  bits_ = 0;
  shift_ = 0;
  bytesInTransfer_ = 0;
  pull_ = false;
}

void SimulatedEeprom::StopCondition(uint64_t now) {
  ++counters_.stops;
  // The stop starts the write cycle only right after an acknowledged data byte, that is during
  // the first clock of the byte that would follow; a stop anywhere else aborts the write.
  const bool boundary = state_ == State::Receive && phase_ == Phase::Data && bits_ <= 1;
  if (boundary && latched_.any() && faults_.writeProtect == WriteProtect::Ack) {
    // Microchip's and Atmel's newer parts sample WP at the stop: no write cycle, ready at once.
    latched_.reset();
    ++counters_.writesInhibited;
  } else if (boundary && latched_.any()) {
    pending_ = page_;
    pendingMask_ = latched_;
    pendingBase_ = pageBase_;
    latched_.reset();
    busy_ = true;
    busyUntil_ = now + writeCycleNs_;
    refusedThisCycle_ = 0;
    ++counters_.writeCyclesStarted;
  } else {
    DropLatched();
  }
  state_ = State::Idle;
  pull_ = false;
}

void SimulatedEeprom::DropLatched() {
  if (latched_.none()) return;
  latched_.reset();
  ++counters_.writesAborted;
}

void SimulatedEeprom::SclRose(bool sda, uint64_t) {
  switch (state_) {
    case State::Receive:
      if (bits_ < 8) {
        shift_ = static_cast<uint8_t>((shift_ << 1) | (sda ? 1U : 0U));
        ++bits_;
      }
      break;
    case State::Transmit:
      ++bits_;
      if (bits_ == 9) masterAck_ = !sda;  // the master's answer on the ninth clock
      break;
    case State::Idle:
    case State::ReceiveAck:
      break;
  }
}

void SimulatedEeprom::SclFell(uint64_t now) {
  switch (state_) {
    case State::Idle:
      break;
    case State::Receive:
      if (bits_ == 8) ByteReceived(now);
      break;
    case State::ReceiveAck:
      // End of the ninth clock: release the acknowledge, then receive or start sending.
      pull_ = false;
      bits_ = 0;
      shift_ = 0;
      if (readNext_) {
        state_ = State::Transmit;
        LoadNextByte();
      } else {
        state_ = State::Receive;
      }
      break;
    case State::Transmit:
      if (bits_ < 8) {
        pull_ = ((shift_ >> (7 - bits_)) & 1U) == 0;
      } else if (bits_ == 8) {
        pull_ = false;  // released for the master's acknowledge
      } else if (masterAck_) {
        bits_ = 0;
        LoadNextByte();
      } else {
        // Not acknowledged: the read is over; wait for a stop or a start.
        state_ = State::Idle;
        pull_ = false;
      }
      break;
  }
}

void SimulatedEeprom::LoadNextByte() {
  shift_ = cells_[counter_];
  // Sequential reads roll over at the end of the memory, or of the block on some older parts.
  counter_ = (counter_ & ~(readSpan_ - 1)) | ((counter_ + 1) & (readSpan_ - 1));
  ++counters_.bytesSent;
  pull_ = (shift_ & 0x80U) == 0;
}

void SimulatedEeprom::ByteReceived(uint64_t now) {
  ++bytesInTransfer_;
  const uint8_t byte = shift_;
  readNext_ = false;
  bool ack = false;
  if (phase_ == Phase::Device && WriteCycleRunning(now)) {
    // Busy programming: the memory answers nothing, which is what acknowledge polling waits on.
    ++counters_.pollsRefused;
    ++refusedThisCycle_;
  } else if (faults_.refusedByte > 0 &&
             bytesInTransfer_ == static_cast<uint32_t>(faults_.refusedByte)) {
    ++counters_.bytesRefused;
  } else {
    switch (phase_) {
      case Phase::Device:
        ack = AcceptFirstByte(byte, now);
        break;
      case Phase::AddressHigh:
        pendingHigh_ = byte;
        phase_ = Phase::AddressLow;
        ack = true;
        break;
      case Phase::AddressLow:
        // The counter is loaded only once the whole address has arrived.
        counter_ = ((pendingBlock_ << 16) | (pendingHigh_ << 8) | byte) & (capacity_ - 1);
        pageBase_ = counter_ & ~(pageSize_ - 1);
        phase_ = Phase::Data;
        ack = true;
        break;
      case Phase::Data:
        ack = AcceptDataByte(byte);
        break;
    }
  }
  if (!ack) {
    // A refused byte ends the memory's part in the transfer; latched data are dropped.
    DropLatched();
    state_ = State::Idle;
    pull_ = false;
    return;
  }
  state_ = State::ReceiveAck;
  pull_ = true;
}

bool SimulatedEeprom::AcceptFirstByte(uint8_t byte, uint64_t) {
  const bool read = (byte & 1U) != 0;
  if (x24c01_) {
    // Pseudo-I2C: the control byte is the 7-bit address and R/W; there is no device byte.
    counter_ = static_cast<uint32_t>(byte >> 1) & (capacity_ - 1);
    pageBase_ = counter_ & ~(pageSize_ - 1);
    if (read) {
      readNext_ = true;
    } else {
      phase_ = Phase::Data;
    }
    ++counters_.addressed;
    return true;
  }
  if ((byte & 0xF0U) != 0xA0U) return false;
  const uint8_t select = static_cast<uint8_t>((byte >> 1) & 7U);
  const uint8_t compared = ComparedPins(typeIndex_);
  if ((select & compared) != (pins_ & compared)) return false;
  ++counters_.addressed;
  if (read) {
    // Current-address read: the block bits of a read device byte are ignored.
    readNext_ = true;
    return true;
  }
  // 24C04/08/16: the select bits the pins leave free carry address bits 10..8.
  const bool blocks = addressBytes_ == 1 && capacity_ > 256;
  pendingHigh_ = blocks ? static_cast<uint32_t>(select & ~compared & 7U) : 0U;
  // Above 64 KiB, A16 (and A17) ride in the device byte: bit 1 up on the 24M01 and 24M02, B0 in
  // bit 3 on the 24LC1025.
  const uint8_t a16Bit = Row(typeIndex_).a16Bit;
  pendingBlock_ =
      a16Bit != 0 ? (static_cast<uint32_t>(byte) >> a16Bit) & ((capacity_ >> 16) - 1) : 0U;
  phase_ = addressBytes_ == 2 ? Phase::AddressHigh : Phase::AddressLow;
  return true;
}

bool SimulatedEeprom::AcceptDataByte(uint8_t byte) {
  const WriteProtect wp = faults_.writeProtect;
  const bool refused =
      wp == WriteProtect::Nack || (wp == WriteProtect::Upper && counter_ >= capacity_ / 2) ||
      (faults_.refusedAddress >= 0 && static_cast<int64_t>(counter_) == faults_.refusedAddress);
  if (refused) {
    ++counters_.bytesRefused;
    return false;
  }
  // Latched into the page buffer; the address counter wraps inside the page.
  const uint32_t offset = counter_ & (pageSize_ - 1);
  page_[offset] = byte;
  latched_.set(offset);
  counter_ = pageBase_ | ((counter_ + 1) & (pageSize_ - 1));
  return true;
}

}  // namespace keldar::sim
