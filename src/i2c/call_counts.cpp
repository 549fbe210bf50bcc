#include "i2c/call_counts.h"

#include <cmath>

namespace keldar {
namespace {

BusSteps operator+(BusSteps a, const BusSteps& b) {
  return {a.valim + b.valim, a.scl + b.scl, a.sda + b.sda, a.samples + b.samples};
}
BusSteps operator*(uint64_t n, const BusSteps& s) {
  return {n * s.valim, n * s.scl, n * s.sda, n * s.samples};
}

// The routines of the I2C master and the power sequences, step by step.
constexpr BusSteps kStart{0, 2, 3, 0};         // SDA high, SCL high, SDA low, SCL low, SDA high
constexpr BusSteps kStop{0, 1, 2, 0};          // SDA low, SCL high, SDA high
constexpr BusSteps kSend{0, 27, 17, 1};        // 8 x (SDA, clock pulse, SDA high), then the ack
constexpr BusSteps kReceiveAck{0, 19, 3, 8};   // SDA high, 8 x (SCL high, sample, SCL low), ack
constexpr BusSteps kReceiveLast{0, 19, 2, 8};  // the same without driving the acknowledge
constexpr BusSteps kPower{1, 1, 1, 0};         // Valim, SCL, SDA
constexpr BusSteps kLineCheck{0, 0, 0, 1};     // SDA must read high once powered
constexpr BusSteps kResync{0, 18, 0, 0};       // the X24C01's nine clock pulses
// A memory takes a byte at the eighth SCL rise: start, seven bits, then SDA, SCL low, SCL high.
constexpr BusSteps kStartToEighthBit{0, 25, 18, 0};
constexpr uint64_t kRestMs = 20;

BusSteps Poll() {
  return kStart + kSend + kStop;
}

double Cost(OutputLine line, const PortCallCosts& costs) {
  switch (line) {
    case OutputLine::Txd:
      return costs.txd;
    case OutputLine::Dtr:
      return costs.dtr;
    case OutputLine::Rts:
      break;
  }
  return costs.rts;
}

double Seconds(const BusSteps& steps, const LineMap& map, const PortCallCosts& costs) {
  const double delay = map.accessTime * costs.statusRead;
  const OutputArrangement& lines = map.Arrangement();
  return static_cast<double>(steps.valim) * (Cost(lines.valim, costs) + delay) +
         static_cast<double>(steps.scl) * (Cost(lines.scl, costs) + delay) +
         static_cast<double>(steps.sda) * (Cost(lines.sda, costs) + delay) +
         static_cast<double>(steps.samples) * costs.statusRead;
}

}  // namespace

OperationCalls ReadCalls(const MemoryType& type) {
  BusSteps address = kStart + kSend;  // the X24C01's control byte
  if (type.typeIndex != kX24C01Index) {
    // A dummy write of the word address, then a repeated start and the device byte to read.
    address = kStart + (1U + static_cast<uint64_t>(type.addressBytes)) * kSend + kStart + kSend;
  }
  // One read per span (each half of a 24LC1025), its last byte not acknowledged.
  const uint64_t reads = type.capacity / SequentialSpan(type);
  OperationCalls calls;
  calls.steps = kPower + kLineCheck + reads * address + (type.capacity - reads) * kReceiveAck +
                reads * kReceiveLast + kStop + kPower;
  calls.sleepMs = 2 * kRestMs;
  calls.poll = Poll();
  return calls;
}

namespace {

// The whole memory written in blocks of `block` bytes, each with its address phase, its stop and
// its write cycle.
OperationCalls ProgramCalls(const MemoryType& type, uint32_t block) {
  const bool x24c01 = type.typeIndex == kX24C01Index;
  const uint64_t addressBytes = x24c01 ? 1U : 1U + static_cast<uint64_t>(type.addressBytes);
  const BusSteps page =
      (x24c01 ? kResync : BusSteps{}) + kStart + (addressBytes + block) * kSend + kStop + Poll();
  const uint64_t pages = type.capacity / block;
  OperationCalls calls;
  calls.steps = kPower + kLineCheck + pages * page + kPower;
  calls.sleepMs = 2 * kRestMs;
  calls.writeCycles = pages;
  calls.poll = Poll();
  calls.pollAnswer = kStartToEighthBit;
  return calls;
}

}  // namespace

OperationCalls PageProgramCalls(const MemoryType& type) {
  return ProgramCalls(type, type.pageSize);
}

OperationCalls BlockRereadCalls(const MemoryType& type) {
  constexpr uint32_t kBlock = 256;
  OperationCalls calls;
  if (type.typeIndex == kX24C01Index || type.addressBytes != 1 || type.capacity <= kBlock) {
    return calls;
  }
  // Per block: the stop before it, a dummy write of its first address, the read of 256 bytes.
  const BusSteps block =
      kStop + kStart + 2U * kSend + kStart + kSend + (kBlock - 1U) * kReceiveAck + kReceiveLast;
  calls.steps = (type.capacity / kBlock) * block;
  return calls;
}

OperationCalls ByteProgramCalls(const MemoryType& type) {
  return ProgramCalls(type, 1);
}

double EstimateSeconds(const OperationCalls& calls, const LineMap& map, const PortCallCosts& costs,
                       double writeCycleSeconds) {
  double seconds = Seconds(calls.steps, map, costs) + static_cast<double>(calls.sleepMs) / 1000.0;
  // The write cycle starts with the page's stop, and polls follow back to back: the first one
  // whose device byte arrives after the cycle's end is answered, the ones before are repeated.
  const double poll = Seconds(calls.poll, map, costs);
  const double answer = Seconds(calls.pollAnswer, map, costs);
  if (calls.writeCycles > 0 && poll > 0 && answer < writeCycleSeconds) {
    const double repeated = std::ceil((writeCycleSeconds - answer) / poll);
    seconds += static_cast<double>(calls.writeCycles) * repeated * poll;
  }
  return seconds;
}

}  // namespace keldar
