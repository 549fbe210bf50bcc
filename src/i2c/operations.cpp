#include "i2c/operations.h"

#include <algorithm>
#include <vector>

namespace keldar {

namespace {

constexpr uint32_t kReadProgressPoints = 32;
constexpr uint32_t kByteProgramProgressPoints = 64;

uint32_t StepFor(uint32_t capacity, uint32_t points) {
  return capacity >= points ? capacity / points : 1;
}

// Memory powered, bus idle: SDA must read high, or the reader, the memory or the line map is
// wrong. A port that failed while powering on fails the check as well.
bool LineCheck(LineDriver& lines) {
  lines.PowerOn();
  const bool high = lines.ReadSda() == 1;
  return high && !lines.PortFailed();
}

void Report(const ProgressCallback& progress, uint32_t value) {
  if (progress) progress(value);
}

// Runs the whole sequential read into scratch with the read progress rule. SCL is left low
// with SDA released; the caller sends the stop.
BlockResult ReadInto(LineDriver& lines, const CurrentMemory& memory, uint8_t* scratch,
                     bool enforceAcks, const ProgressCallback& progress) {
  I2cMaster bus(lines);
  BlockIo io(bus, memory);
  const uint32_t step = ReadProgressStep(memory.capacity);
  const ReadProgress hook = [&](uint32_t i) {
    if (i % step == step - 1) Report(progress, i);
    return true;
  };
  const BlockResult result = io.SequentialRead(scratch, enforceAcks, hook);
  if (result == BlockResult::Ok) Report(progress, memory.capacity - 1);
  return result;
}

}  // namespace

uint32_t ReadProgressStep(uint32_t capacity) {
  return StepFor(capacity, kReadProgressPoints);
}

uint32_t ByteProgramProgressStep(uint32_t capacity) {
  return StepFor(capacity, kByteProgramProgressPoints);
}

ReadOutcome ReadMemory(LineDriver& lines, const CurrentMemory& memory, Buffer& buffer,
                       const ProgressCallback& progress) {
  lines.ClearPortFailure();
  ReadOutcome outcome;
  std::vector<uint8_t> scratch(memory.capacity);
  if (!LineCheck(lines)) {
    outcome.result = BlockResult::NoDeviceAck;
  } else {
    outcome.result = ReadInto(lines, memory, scratch.data(), true, progress);
  }
  I2cMaster(lines).I2cStop();
  lines.PowerOff();
  outcome.portFailed = lines.PortFailed();
  if (outcome.succeeded()) std::copy(scratch.begin(), scratch.end(), buffer.begin());
  return outcome;
}

ProgramOutcome ProgramMemory(LineDriver& lines, const CurrentMemory& memory, const Buffer& buffer,
                             const ProgressCallback& progress) {
  lines.ClearPortFailure();
  ProgramOutcome outcome;
  if (!LineCheck(lines)) {
    outcome.result = BlockResult::NotStarted;
    lines.PowerOff();
    outcome.portFailed = lines.PortFailed();
    return outcome;
  }

  I2cMaster bus(lines);
  BlockIo io(bus, memory);
  const uint32_t capacity = memory.capacity;
  const bool pageMode = memory.pageMode || !memory.type().byteModeAllowed;
  if (pageMode) {
    const uint32_t page = memory.type().pageSize;
    for (uint32_t a = 0; a < capacity; a += page) {
      Report(progress, a);
      outcome.lastAddress = a;
      outcome.result = io.WritePage(a, buffer.data() + a, static_cast<int>(page));
      if (outcome.result != BlockResult::Ok || lines.PortFailed()) break;
    }
  } else {
    const uint32_t step = ByteProgramProgressStep(capacity);
    for (uint32_t a = 0; a < capacity; ++a) {
      if (a % step == step - 1) Report(progress, a);
      outcome.lastAddress = a;
      outcome.result = io.WriteByte(a, buffer[a]);
      if (outcome.result != BlockResult::Ok || lines.PortFailed()) break;
    }
  }
  lines.PowerOff();
  outcome.portFailed = lines.PortFailed();
  return outcome;
}

ProgramOutcome ProgramSelectedByte(LineDriver& lines, const CurrentMemory& memory,
                                   const Buffer& buffer) {
  lines.ClearPortFailure();
  ProgramOutcome outcome;
  outcome.lastAddress = memory.cursorAddress;
  if (!LineCheck(lines)) {
    outcome.result = BlockResult::NotStarted;
  } else if (memory.cursorAddress < memory.capacity) {
    I2cMaster bus(lines);
    BlockIo io(bus, memory);
    outcome.result = io.WriteByte(memory.cursorAddress, buffer[memory.cursorAddress]);
  } else {
    outcome.result = BlockResult::NotStarted;
  }
  lines.PowerOff();
  outcome.portFailed = lines.PortFailed();
  return outcome;
}

CompareOutcome CompareMemory(LineDriver& lines, const CurrentMemory& memory, const Buffer& buffer,
                             std::span<uint8_t> scratch, const ProgressCallback& progress) {
  CompareOutcome outcome;
  const uint32_t capacity = memory.capacity;
  if (scratch.size() < capacity) return outcome;  // the caller could not get its scratch area

  lines.ClearPortFailure();
  outcome.reachable = LineCheck(lines);
  if (outcome.reachable) {
    const BlockResult result = ReadInto(lines, memory, scratch.data(), false, progress);
    outcome.reachable = result != BlockResult::NoDeviceAck;
  }
  I2cMaster(lines).I2cStop();
  lines.PowerOff();
  if (lines.PortFailed()) outcome.reachable = false;
  if (outcome.reachable) {
    for (uint32_t i = 0; i < capacity; ++i) {
      if (buffer[i] == scratch[i]) continue;
      if (outcome.differences++ == 0) outcome.firstDifference = i;
    }
  }
  return outcome;
}

}  // namespace keldar
