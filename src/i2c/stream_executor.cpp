#include "i2c/stream_executor.h"

namespace keldar {

bool StreamExecutor::SampledSda(uint8_t& sda) {
  InputLevels sample;
  if (!port_.Flush() || !port_.NextSample(sample)) return false;
  sda = lines_.SdaOf(sample);
  return true;
}

bool StreamExecutor::PowerOnAndCheck() {
  lines_.PowerOn();
  (void)lines_.ReadSda();
  uint8_t sda = 0;
  return SampledSda(sda) && sda == 1;
}

void StreamExecutor::Send(uint8_t value, bool refusalEnds, RefusedByte position) {
  (void)bus_.SendByte(value);
  wants_.push_back({position, refusalEnds});
  if (refusalEnds) ++pendingEnds_;
}

void StreamExecutor::Decode(bool wait) {
  while (!wants_.empty() && (wait || port_.SamplesReady() > 0)) {
    InputLevels sample;
    if (!port_.NextSample(sample)) {
      wants_.clear();
      pendingEnds_ = 0;
      return;
    }
    const Want want = wants_.front();
    wants_.pop_front();
    const uint8_t sda = lines_.SdaOf(sample);
    if (want.into != nullptr) {
      if (sda != 0) *want.into = static_cast<uint8_t>(*want.into | (1U << want.bit));
      continue;
    }
    if (!want.ends) continue;
    --pendingEnds_;
    if (sda != 0 && !refused_) refused_ = want.position;  // the first in the order sent
  }
}

bool StreamExecutor::Resolve() {
  if (pendingEnds_ > 0) {
    (void)port_.Flush();
    Decode(true);
  }
  return !refused_ && !port_.failed();
}

TransactionResult StreamExecutor::Execute(const Transaction& transaction) {
  TransactionResult result;
  refused_.reset();
  uint32_t total = 0;
  for (const Segment& segment : transaction.segments)
    total += static_cast<uint32_t>(segment.in.size());

  if (transaction.resync) bus_.ResyncClocks();
  const auto segments = transaction.segments;
  bool going = true;
  for (size_t s = 0; s < segments.size() && going; ++s) {
    const Segment& segment = segments[s];
    if (s > 0 && !Resolve()) break;
    bus_.I2cStart();
    Send(segment.control, segment.controlRefusalEnds, {s, BytePart::Control, 0});
    // Before a word address that a repeated start will follow (a random read), as on the lines:
    // a refused device byte is followed by its stop alone.
    if (s + 1 < segments.size() && !segment.address.empty() && !Resolve()) break;
    for (size_t i = 0; i < segment.address.size(); ++i)
      Send(segment.address[i], segment.addressRefusalEnds, {s, BytePart::Address, i});
    for (size_t i = 0; i < segment.data.size(); ++i)
      Send(segment.data[i], true, {s, BytePart::Data, i});
    if (segment.in.empty()) continue;
    if (!Resolve()) break;
    for (size_t i = 0; i < segment.in.size() && going; ++i) {
      const uint32_t index = result.received;
      const bool more =
          index + 1 < total && (transaction.progress == nullptr || (*transaction.progress)(index));
      segment.in[i] = 0;
      (void)bus_.ReceiveByte(more && i + 1 < segment.in.size() ? 1 : 0);
      for (int bit = 7; bit >= 0; --bit)
        wants_.push_back({{}, false, &segment.in[i], static_cast<uint8_t>(bit)});
      ++result.received;
      going = more && !port_.failed();
      Decode(false);  // what has arrived, so that the wants stay few
    }
  }
  bus_.I2cStop();
  (void)port_.Flush();
  Decode(true);
  result.refused = refused_;
  result.portFailed = port_.failed();
  return result;
}

bool StreamExecutor::WaitWriteCycle(uint8_t control) {
  for (int attempt = 1; attempt <= kMaxWriteCyclePolls; ++attempt) {
    bus_.I2cStart();
    (void)bus_.SendByte(control);
    bus_.I2cStop();
    uint8_t sda = 1;
    if (!SampledSda(sda)) return false;
    if (sda == 0) return true;
  }
  return false;
}

}  // namespace keldar
