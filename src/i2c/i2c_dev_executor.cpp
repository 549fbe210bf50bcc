#include "i2c/i2c_dev_executor.h"

namespace keldar {
namespace {

// I2C reserves 0000xxx (the general call and START byte among them) and 1111xxx: no memory
// answers there, and the X24C01's control bytes, which land there too, are not sent.
bool Reserved(uint8_t address) {
  return address < 0x08 || address > 0x77;
}

uint8_t AddressOf(const Segment& segment) {
  return static_cast<uint8_t>(segment.control >> 1);
}

}  // namespace

// The bytes a transaction receives and its progress hook, which runs for each byte received but
// the transaction's last, as the line executor runs it before receiving one. Here the bytes come
// a chunk at a time: the hook runs for a chunk's bytes once it is in, and a false answer ends the
// read at that byte, the rest of the chunk dropped.
struct I2cDevExecutor::ReadState {
  const ReadProgress* progress;
  uint32_t total;
  uint32_t received = 0;
  bool ended = false;

  // The hook for the bytes of a segment from received up to count of them in all (first: the
  // received count when the segment began); false once it ended the read.
  bool Reach(uint32_t first, size_t count) {
    while (!ended && received < first + count) {
      const uint32_t index = received++;
      if (index + 1 < total && progress != nullptr && !(*progress)(index)) ended = true;
    }
    return !ended;
  }
};

I2cReport I2cDevExecutor::Read(uint8_t address, std::span<const uint8_t> wordAddress,
                               std::span<uint8_t> in, ReadState& state) {
  const uint32_t first = state.received;
  const I2cReport report = transfers_.Read(address, wordAddress, in,
                                           [&](size_t done) { return state.Reach(first, done); });
  if (report.result == I2cResult::Ok) (void)state.Reach(first, in.size());
  return report;
}

std::optional<RefusedByte> I2cDevExecutor::Placed(const I2cReport& report, size_t s,
                                                  const Segment& segment) {
  switch (report.result) {
    case I2cResult::Ok:
      return std::nullopt;
    case I2cResult::NoDeviceAck:
      return RefusedByte{s, BytePart::Control, 0};
    case I2cResult::AddressRefused:
      // Which word-address byte went unanswered, the errno does not say.
      if (segment.address.empty()) return RefusedByte{s, BytePart::Control, 0};
      return RefusedByte{s, BytePart::Address, 0};
    case I2cResult::DataRefused:
    case I2cResult::WriteCycleTimeout:  // between two pieces of the data
      if (segment.data.empty()) return RefusedByte{s, BytePart::Address, 0};
      return RefusedByte{s, BytePart::Data, 0};
    case I2cResult::Unsupported:
    case I2cResult::PortFailed:
      break;
  }
  // Nothing this adapter carries is trusted any more: a port failure, as a failed port call.
  failed_ = true;
  return std::nullopt;
}

TransactionResult I2cDevExecutor::Execute(const Transaction& transaction) {
  TransactionResult result;
  const std::span<const Segment> segments = transaction.segments;
  ReadState state{transaction.progress, 0};
  for (const Segment& segment : segments)
    state.total += static_cast<uint32_t>(segment.in.size());

  for (size_t s = 0; s < segments.size() && !failed_ && !state.ended;) {
    const Segment& segment = segments[s];
    const uint8_t address = AddressOf(segment);
    if (transaction.resync || Reserved(address)) {
      result.refused = RefusedByte{s, BytePart::Control, 0};
      break;
    }
    const bool randomRead = !segment.reads() && s + 1 < segments.size() &&
                            segments[s + 1].reads() && segment.data.empty() &&
                            AddressOf(segments[s + 1]) == address;
    I2cReport report;
    if (segment.reads()) {
      report = Read(address, {}, segment.in, state);
    } else if (randomRead) {
      report = Read(address, segment.address, segments[s + 1].in, state);
    } else if (segment.address.empty() && segment.data.empty()) {
      report = transfers_.Probe(address);
    } else {
      report = transfers_.Write(address, segment.address, segment.data);
    }
    if ((result.refused = Placed(report, s, segment)) || failed_) break;
    s += randomRead ? 2 : 1;
  }
  result.received = state.received;
  result.portFailed = failed_;
  return result;
}

bool I2cDevExecutor::WaitWriteCycle(uint8_t control) {
  const I2cReport report = transfers_.WaitReady(static_cast<uint8_t>(control >> 1));
  if (report.result == I2cResult::Unsupported || report.result == I2cResult::PortFailed)
    failed_ = true;
  return report.result == I2cResult::Ok;
}

}  // namespace keldar
