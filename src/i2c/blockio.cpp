#include "i2c/blockio.h"

#include <algorithm>
#include <vector>

namespace keldar {

namespace {

constexpr uint8_t kX24C01ReadAddressZero = 0x01;  // address 0, R/W 1
constexpr size_t kLongestAddressPhase = 3;        // device byte and two word-address bytes

}  // namespace

// The acknowledges of one block write in the order sent, each with the result its refusal gives.
// On a port that reads at once a refusal is known before the next byte, and the block stops
// there, as the bus sequence wants. On a port that streams, the answers arrive at the flush after
// the block's stop: from the device byte to the stop, every byte of the block is on the wire
// before the first answer is looked at, so the rest of the block may follow a refused byte. A
// memory that refuses a byte ignores the bus until the next start (a busy or unaddressed part
// does, write protection refuses every data byte), and a stop that does not follow an
// acknowledged data byte starts no write cycle: the block writes nothing either way, and the
// first refusal gives the same result. The polls and the next block come after the check.
class BlockIo::AckLog {
 public:
  AckLog(I2cMaster& bus, size_t bytes) : bus_(bus) { entries_.reserve(bytes); }
  AckLog(const AckLog&) = delete;
  AckLog& operator=(const AckLog&) = delete;
  ~AckLog() { bus_.lines().Flush(); }  // the port holds pointers into entries_

  // Sends the byte unless a refusal is already known.
  void Send(uint8_t value, BlockResult ifRefused) {
    if (Refused() || entries_.size() == entries_.capacity()) return;
    Entry& entry = entries_.emplace_back(Entry{0, ifRefused});
    bus_.SendByte(value, entry.nack);
  }
  [[nodiscard]] bool Refused() const { return !entries_.empty() && entries_.back().nack != 0; }

  // Once the block is over: the first refusal in the order sent, or Ok.
  [[nodiscard]] BlockResult Result() {
    bus_.lines().Flush();
    for (const Entry& entry : entries_) {
      if (entry.nack != 0) return entry.ifRefused;
    }
    return BlockResult::Ok;
  }

 private:
  struct Entry {
    uint8_t nack;
    BlockResult ifRefused;
  };
  I2cMaster& bus_;
  std::vector<Entry> entries_;  // never reallocated: the samples land in it
};

BlockResult BlockIo::WriteByte(uint32_t address, uint8_t value) {
  return Write(address, &value, 1);
}

BlockResult BlockIo::WritePage(uint32_t start, const uint8_t* data, int count) {
  return Write(start, data, count);
}

BlockResult BlockIo::Write(uint32_t start, const uint8_t* data, int count) {
  if (start >= memory_.capacity) return BlockResult::NotStarted;
  const bool x24c01 = memory_.typeIndex == kX24C01Index;
  if (x24c01) ResyncClocks();

  // Bus idle -> start; the first refused byte ends the transfer, the stop is always sent.
  bus_.I2cStart();
  AckLog acks(bus_, kLongestAddressPhase + static_cast<size_t>(std::max(count, 0)));
  SendAddressPhase(start, acks);
  for (int i = 0; i < count && !acks.Refused(); ++i)
    acks.Send(data[i], BlockResult::DataNack);
  bus_.I2cStop();
  const BlockResult result = acks.Result();
  if (result != BlockResult::Ok) return result;

  return WaitWriteCycle(x24c01 ? kX24C01ReadAddressZero : DeviceAddressByte(memory_, 0));
}

void BlockIo::SendAddressPhase(uint32_t address, AckLog& acks) {
  if (memory_.typeIndex == kX24C01Index) {
    // Pseudo-I2C: the 7-bit address travels in the control byte, no device byte.
    acks.Send(static_cast<uint8_t>((address << 1) & 0xFEU), BlockResult::NoDeviceAck);
    return;
  }
  // Address bits above the word address ride in the device byte (the block bits).
  acks.Send(
      static_cast<uint8_t>(DeviceAddressByte(memory_, 0) | BlockBits(memory_.type(), address)),
      BlockResult::NoDeviceAck);
  if (memory_.capacity > kOneAddressByteLimit) {
    acks.Send(static_cast<uint8_t>((address >> 8) & 0xFFU), BlockResult::SecondByteNack);
    acks.Send(static_cast<uint8_t>(address & 0xFFU), BlockResult::ThirdByteNack);
    return;
  }
  acks.Send(static_cast<uint8_t>(address & 0xFFU), BlockResult::SecondByteNack);
}

BlockResult BlockIo::WaitWriteCycle(uint8_t pollByte) {
  for (int attempt = 1; attempt <= kMaxWriteCyclePolls; ++attempt) {
    bus_.I2cStart();
    const bool acknowledged = bus_.SendByte(pollByte);
    bus_.I2cStop();
    if (acknowledged) return BlockResult::Ok;
  }
  return BlockResult::WriteCycleTimeout;
}

void BlockIo::ResyncClocks() {
  LineDriver& lines = bus_.lines();
  for (int i = 0; i < kResyncPulses; ++i) {
    lines.SetSclLow();
    lines.SetSclHigh();
  }
}

// Bus idle, or SCL low with SDA released after the previous span's last byte -> the memory
// addressed at start for reading, SCL low.
BlockResult BlockIo::StartSequentialRead(uint32_t start, bool enforceAcks) {
  bus_.I2cStart();
  if (memory_.typeIndex == kX24C01Index) {
    (void)bus_.SendByte(kX24C01ReadAddressZero);  // its acknowledge is not examined
    return BlockResult::Ok;
  }
  // A dummy write of the start address, then a repeated start to read. The read device byte
  // repeats the block bits of the write, as the random read wants.
  const uint8_t block = BlockBits(memory_.type(), start);
  if (!bus_.SendByte(static_cast<uint8_t>(DeviceAddressByte(memory_, 0) | block))) {
    return BlockResult::NoDeviceAck;
  }
  const bool twoBytes = memory_.capacity > kOneAddressByteLimit;
  const auto first = static_cast<uint8_t>((twoBytes ? start >> 8 : start) & 0xFFU);
  BlockResult result = BlockResult::Ok;
  if (!bus_.SendByte(first) && enforceAcks) result = BlockResult::SecondByteNack;
  if (twoBytes) {
    const auto low = static_cast<uint8_t>(start & 0xFFU);
    if (!enforceAcks) {
      (void)bus_.SendByte(low);
    } else if (result == BlockResult::Ok && !bus_.SendByte(low)) {
      result = BlockResult::ThirdByteNack;
    }
  }
  if (result != BlockResult::Ok) return result;
  bus_.I2cStart();
  (void)bus_.SendByte(static_cast<uint8_t>(DeviceAddressByte(memory_, 1) | block));
  return BlockResult::Ok;
}

BlockResult BlockIo::SequentialRead(uint8_t* destination, bool enforceAcks,
                                    const ReadProgress& progress) {
  // One read per span: the whole memory, or each half of a 24LC1025, whose reads do not cross
  // from one half to the other. The last byte of a span is not acknowledged and the next span
  // begins with a repeated start. The data phase needs no answer before its end: on a port that
  // streams it is one stream.
  const uint32_t last = memory_.capacity - 1;
  const uint32_t span = SequentialSpan(memory_.type());
  for (uint32_t i = 0;;) {
    const BlockResult result = StartSequentialRead(i, enforceAcks);
    if (result != BlockResult::Ok) return result;
    const uint32_t spanLast = std::min(last, i + span - 1);
    for (;; ++i) {
      const bool more = i < last && (!progress || progress(i));
      bus_.ReceiveByte(more && i < spanLast ? 1 : 0, destination[i]);
      if (!more) {
        bus_.lines().Flush();
        return BlockResult::Ok;
      }
      if (i == spanLast) break;
    }
    ++i;
  }
}

BlockResult BlockIo::ReadFrom(uint32_t start, uint8_t* destination, uint32_t count,
                              bool enforceAcks, const ReadProgress& progress) {
  const BlockResult result = StartSequentialRead(start, enforceAcks);
  if (result != BlockResult::Ok) return result;
  // The data phase needs no answer before its end: on a port that streams it is one stream.
  const uint32_t last = count - 1;
  uint32_t i = 0;
  for (; i < last; ++i) {
    if (progress && !progress(i)) break;
    bus_.ReceiveByte(1, destination[i]);
  }
  bus_.ReceiveByte(0, destination[i]);
  bus_.lines().Flush();
  return BlockResult::Ok;
}

}  // namespace keldar
