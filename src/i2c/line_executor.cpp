#include "i2c/line_executor.h"

namespace keldar {

bool LineExecutor::PowerOnAndCheck() {
  lines_.PowerOn();
  const bool high = lines_.ReadSda() == 1;
  return high && !lines_.PortFailed();
}

TransactionResult LineExecutor::Execute(const Transaction& transaction) {
  TransactionResult result;
  uint32_t total = 0;
  for (const Segment& segment : transaction.segments)
    total += static_cast<uint32_t>(segment.in.size());
  // Sends one byte; false when its refusal ends the transaction.
  const auto send = [&](uint8_t value, bool refusalEnds, RefusedByte position) {
    if (bus_.SendByte(value) || !refusalEnds) return true;
    result.refused = position;
    return false;
  };

  if (transaction.resync) bus_.ResyncClocks();
  const auto segments = transaction.segments;
  bool going = true;
  for (size_t s = 0; s < segments.size() && going; ++s) {
    const Segment& segment = segments[s];
    bus_.I2cStart();
    going = send(segment.control, segment.controlRefusalEnds, {s, BytePart::Control, 0});
    for (size_t i = 0; i < segment.address.size() && going; ++i) {
      going = send(segment.address[i], segment.addressRefusalEnds, {s, BytePart::Address, i});
    }
    for (size_t i = 0; i < segment.data.size() && going; ++i)
      going = send(segment.data[i], true, {s, BytePart::Data, i});
    for (size_t i = 0; i < segment.in.size() && going; ++i) {
      // The transaction's last byte, or the one its progress ends the read at, is not
      // acknowledged; nor is a segment's last, which a repeated start follows.
      const uint32_t index = result.received;
      const bool more =
          index + 1 < total && (transaction.progress == nullptr || (*transaction.progress)(index));
      segment.in[i] = bus_.ReceiveByte(more && i + 1 < segment.in.size() ? 1 : 0);
      ++result.received;
      going = more;
    }
  }
  bus_.I2cStop();
  result.portFailed = lines_.PortFailed();
  return result;
}

bool LineExecutor::WaitWriteCycle(uint8_t control) {
  for (int attempt = 1; attempt <= kMaxWriteCyclePolls; ++attempt) {
    bus_.I2cStart();
    const bool acknowledged = bus_.SendByte(control);
    bus_.I2cStop();
    if (acknowledged) return true;
  }
  return false;
}

}  // namespace keldar
