#include "i2c/blockio.h"

namespace keldar {

namespace {
constexpr uint8_t kX24C01ReadAddressZero = 0x01;  // address 0, R/W 1
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
  if (x24c01) ResyncClocks();

  // Bus idle -> start; the first refused byte ends the transfer, the stop is always sent.
  bus_.I2cStart();
  BlockResult result = SendAddressPhase(start);
  if (result == BlockResult::Ok) result = SendData(data, count);
  bus_.I2cStop();
  if (result != BlockResult::Ok) return result;

  return WaitWriteCycle(x24c01 ? kX24C01ReadAddressZero : DeviceAddressByte(memory_, 0));
}

BlockResult BlockIo::SendAddressPhase(uint32_t address) {
  if (memory_.typeIndex == kX24C01Index) {
    // Pseudo-I2C: the 7-bit address travels in the control byte, no device byte.
    const auto control = static_cast<uint8_t>((address << 1) & 0xFEU);
    return bus_.SendByte(control) ? BlockResult::Ok : BlockResult::NoDeviceAck;
  }
  if (memory_.capacity > kOneAddressByteLimit) {
    if (!bus_.SendByte(DeviceAddressByte(memory_, 0))) return BlockResult::NoDeviceAck;
    if (!bus_.SendByte(static_cast<uint8_t>((address >> 8) & 0xFFU))) {
      return BlockResult::SecondByteNack;
    }
    if (!bus_.SendByte(static_cast<uint8_t>(address & 0xFFU))) return BlockResult::ThirdByteNack;
    return BlockResult::Ok;
  }
  // Small memories: address bits 10..8 ride in device-byte bits 3..1 (the block bits).
  const auto device =
      static_cast<uint8_t>(DeviceAddressByte(memory_, 0) | ((address >> 7) & 0x0EU));
  if (!bus_.SendByte(device)) return BlockResult::NoDeviceAck;
  if (!bus_.SendByte(static_cast<uint8_t>(address & 0xFFU))) return BlockResult::SecondByteNack;
  return BlockResult::Ok;
}

BlockResult BlockIo::SendData(const uint8_t* data, int count) {
  for (int i = 0; i < count; ++i) {
    if (!bus_.SendByte(data[i])) return BlockResult::DataNack;
  }
  return BlockResult::Ok;
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

BlockResult BlockIo::SequentialRead(uint8_t* destination, bool enforceAcks,
                                    const ReadProgress& progress) {
  bus_.I2cStart();
  if (memory_.typeIndex == kX24C01Index) {
    (void)bus_.SendByte(kX24C01ReadAddressZero);  // its acknowledge is not examined
  } else {
    // Dummy write of address 0 (no block bits), then a repeated start to read.
    if (!bus_.SendByte(DeviceAddressByte(memory_, 0))) return BlockResult::NoDeviceAck;
    BlockResult result = BlockResult::Ok;
    if (!bus_.SendByte(0x00) && enforceAcks) result = BlockResult::SecondByteNack;
    if (memory_.capacity > kOneAddressByteLimit) {
      if (!enforceAcks) {
        (void)bus_.SendByte(0x00);
      } else if (result == BlockResult::Ok && !bus_.SendByte(0x00)) {
        result = BlockResult::ThirdByteNack;
      }
    }
    if (result != BlockResult::Ok) return result;
    bus_.I2cStart();
    (void)bus_.SendByte(DeviceAddressByte(memory_, 1));
  }

  const uint32_t last = memory_.capacity - 1;
  for (uint32_t i = 0; i < last; ++i) {
    if (progress) progress(i);
    destination[i] = bus_.ReceiveByte(1);
  }
  destination[last] = bus_.ReceiveByte(0);
  return BlockResult::Ok;
}

}  // namespace keldar
