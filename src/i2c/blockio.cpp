#include "i2c/blockio.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

namespace keldar {

namespace {

constexpr uint8_t kX24C01ReadAddressZero = 0x01;  // address 0, R/W 1

// The word-address bytes of `address` on this memory: one up to 2048 bytes, two above.
std::span<const uint8_t> AddressBytes(const CurrentMemory& memory, uint32_t address,
                                      std::array<uint8_t, 2>& storage) {
  if (memory.capacity > kOneAddressByteLimit) {
    storage = {static_cast<uint8_t>((address >> 8) & 0xFFU), static_cast<uint8_t>(address & 0xFFU)};
    return storage;
  }
  storage[0] = static_cast<uint8_t>(address & 0xFFU);
  return std::span<const uint8_t>(storage).first(1);
}

}  // namespace

BlockResult ResultOf(const TransactionResult& result) {
  if (!result.refused) return BlockResult::Ok;
  switch (result.refused->part) {
    case BytePart::Control:
      return BlockResult::NoDeviceAck;
    case BytePart::Address:
      return result.refused->index == 0 ? BlockResult::SecondByteNack : BlockResult::ThirdByteNack;
    case BytePart::Data:
      break;
  }
  return BlockResult::DataNack;
}

BlockResult BlockIo::WriteByte(uint32_t address, uint8_t value) {
  return Write(address, &value, 1);
}

BlockResult BlockIo::WritePage(uint32_t start, const uint8_t* data, int count) {
  return Write(start, data, count);
}

BlockResult BlockIo::Write(uint32_t start, const uint8_t* data, int count) {
  if (start >= memory_.capacity) return BlockResult::NotStarted;
  const bool x24c01 = memory_.typeIndex == kX24C01Index;
  std::array<uint8_t, 2> address{};
  Segment segment;
  segment.data = std::span<const uint8_t>(data, static_cast<size_t>(std::max(count, 0)));
  if (x24c01) {
    // Pseudo-I2C: the 7-bit address travels in the control byte, no device byte.
    segment.control = static_cast<uint8_t>((start << 1) & 0xFEU);
  } else {
    // Address bits above the word address ride in the device byte (the block bits).
    segment.control =
        static_cast<uint8_t>(DeviceAddressByte(memory_, 0) | BlockBits(memory_.type(), start));
    segment.address = AddressBytes(memory_, start, address);
  }
  const BlockResult result = ResultOf(bus_.Execute({x24c01, {&segment, 1}, nullptr}));
  if (result != BlockResult::Ok) return result;
  return WaitWriteCycle(x24c01 ? kX24C01ReadAddressZero : DeviceAddressByte(memory_, 0));
}

BlockResult BlockIo::WaitWriteCycle(uint8_t pollByte) {
  return bus_.WaitWriteCycle(pollByte) ? BlockResult::Ok : BlockResult::WriteCycleTimeout;
}

BlockResult BlockIo::SequentialRead(uint8_t* destination, bool enforceAcks,
                                    const ReadProgress& progress) {
  return ReadSpans(0, destination, memory_.capacity, SequentialSpan(memory_.type()), enforceAcks,
                   progress);
}

BlockResult BlockIo::ReadFrom(uint32_t start, uint8_t* destination, uint32_t count,
                              bool enforceAcks, const ReadProgress& progress) {
  return ReadSpans(start, destination, count, SequentialSpan(memory_.type()), enforceAcks,
                   progress);
}

BlockResult BlockIo::ReadSpans(uint32_t start, uint8_t* destination, uint32_t count, uint32_t span,
                               bool enforceAcks, const ReadProgress& progress) {
  const ReadProgress* hook = progress ? &progress : nullptr;
  if (memory_.typeIndex == kX24C01Index) {
    // No dummy write: the read starts at address 0, its control byte's answer not examined.
    Segment read;
    read.control = kX24C01ReadAddressZero;
    read.controlRefusalEnds = false;
    read.in = std::span<uint8_t>(destination, count);
    return ResultOf(bus_.Execute({false, {&read, 1}, hook}));
  }
  // Per stretch, a dummy write of its first address, then a repeated start to read. The read
  // device byte repeats the block bits of the write, as the random read wants; its acknowledge
  // is not examined, nor, unless enforced, those of the word address.
  const uint32_t last = start + count - 1;
  const uint32_t stretches = last / span - start / span + 1;
  std::vector<std::array<uint8_t, 2>> addresses;
  addresses.reserve(stretches);  // the segments point into it: never reallocated
  std::vector<Segment> segments;
  segments.reserve(2 * size_t{stretches});
  for (uint32_t a = start; a <= last;) {
    const uint32_t end = std::min(last, a - a % span + span - 1);
    const uint8_t block = BlockBits(memory_.type(), a);
    Segment& write = segments.emplace_back();
    write.control = static_cast<uint8_t>(DeviceAddressByte(memory_, 0) | block);
    write.address = AddressBytes(memory_, a, addresses.emplace_back());
    write.addressRefusalEnds = enforceAcks;
    Segment& read = segments.emplace_back();
    read.control = static_cast<uint8_t>(DeviceAddressByte(memory_, 1) | block);
    read.controlRefusalEnds = false;
    read.in = std::span<uint8_t>(destination + (a - start), end - a + 1);
    if (end == last) break;
    a = end + 1;
  }
  return ResultOf(bus_.Execute({false, segments, hook}));
}

}  // namespace keldar
