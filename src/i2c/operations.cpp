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

void Report(const ProgressCallback& progress, uint32_t value) {
  if (progress) progress(value);
}

void Done(const OperationControl& control, uint32_t bytes) {
  if (control.bytesDone) control.bytesDone(bytes);
}

bool StopRequested(const OperationControl& control) {
  return control.stopRequested && control.stopRequested();
}

// The 256-byte blocks a device byte selects on a memory of one address byte.
constexpr uint32_t kBlockBytes = 256;

// Some parts (24C04A and the like) keep a sequential read inside the block its device byte
// selected: every block then reads as block 0. A memory of several blocks is read again block
// by block when every block came back the same, a blank one included.
bool MayWrapAtBlocks(const CurrentMemory& memory) {
  return memory.typeIndex != kX24C01Index && memory.type().addressBytes == 1 &&
         memory.capacity > kBlockBytes;
}

bool EveryBlockLikeTheFirst(const uint8_t* data, uint32_t capacity) {
  for (uint32_t block = kBlockBytes; block < capacity; block += kBlockBytes) {
    if (!std::equal(data, data + kBlockBytes, data + block)) return false;
  }
  return true;
}

// Each block on its own, after the stop that ends the whole read. A block whose select address
// is not answered is a smaller part read as a larger type: the whole read stands, and its
// repetition is the user's clue. Returns the bytes now known right, fewer on a stop.
uint32_t ReadBlockByBlock(BlockIo& io, const CurrentMemory& memory, uint8_t* scratch,
                          bool enforceAcks, const OperationControl& control) {
  std::vector<uint8_t> blocks(memory.capacity);
  bool stopped = false;
  const ReadProgress stop = [&](uint32_t) { return !(stopped = StopRequested(control)); };
  for (uint32_t block = 0; block < memory.capacity; block += kBlockBytes) {
    if (io.ReadFrom(block, blocks.data() + block, kBlockBytes, enforceAcks, stop) !=
        BlockResult::Ok) {
      return memory.capacity;
    }
    if (stopped) {
      std::copy(blocks.begin(), blocks.begin() + block, scratch);
      return block;
    }
  }
  std::copy(blocks.begin(), blocks.end(), scratch);
  return memory.capacity;
}

// Runs the whole sequential read into scratch with the read progress rule; the count of bytes
// received lands in bytesRead, fewer than the capacity when a stop ended the read.
BlockResult ReadInto(BusExecutor& bus, const CurrentMemory& memory, uint8_t* scratch,
                     bool enforceAcks, const ProgressCallback& progress,
                     const OperationControl& control, uint32_t& bytesRead) {
  BlockIo io(bus, memory);
  const uint32_t step = ReadProgressStep(memory.capacity);
  bytesRead = memory.capacity;
  const ReadProgress hook = [&](uint32_t i) {
    Done(control, i);
    if (StopRequested(control)) {
      bytesRead = i + 1;  // byte i is still received, as the last one
      return false;
    }
    if (i % step == step - 1) Report(progress, i);
    return true;
  };
  const BlockResult result = io.SequentialRead(scratch, enforceAcks, hook);
  if (result != BlockResult::Ok) {
    bytesRead = 0;
    return result;
  }
  if (bytesRead == memory.capacity && MayWrapAtBlocks(memory) &&
      EveryBlockLikeTheFirst(scratch, memory.capacity)) {
    bytesRead = ReadBlockByBlock(io, memory, scratch, enforceAcks, control);
  }
  Done(control, bytesRead);
  if (bytesRead == memory.capacity) Report(progress, memory.capacity - 1);
  return result;
}

}  // namespace

uint32_t ReadProgressStep(uint32_t capacity) {
  return StepFor(capacity, kReadProgressPoints);
}

uint32_t ByteProgramProgressStep(uint32_t capacity) {
  return StepFor(capacity, kByteProgramProgressPoints);
}

ReadOutcome ReadMemory(BusExecutor& bus, const CurrentMemory& memory, std::span<uint8_t> into,
                       const ProgressCallback& progress, const OperationControl& control) {
  bus.ClearPortFailure();
  ReadOutcome outcome;
  std::vector<uint8_t> scratch(memory.capacity);
  if (!bus.PowerOnAndCheck()) {
    outcome.result = BlockResult::NoDeviceAck;
    (void)bus.Execute({});  // a stop alone, as after a read
  } else {
    outcome.result =
        ReadInto(bus, memory, scratch.data(), true, progress, control, outcome.bytesRead);
    outcome.stopped = outcome.bytesRead < memory.capacity && outcome.result == BlockResult::Ok;
  }
  bus.PowerOff();
  outcome.portFailed = bus.PortFailed();
  if (outcome.succeeded()) std::copy(scratch.begin(), scratch.end(), into.begin());
  return outcome;
}

ProgramOutcome ProgramMemory(BusExecutor& bus, const CurrentMemory& memory,
                             std::span<const uint8_t> data, const ProgressCallback& progress,
                             const OperationControl& control) {
  bus.ClearPortFailure();
  ProgramOutcome outcome;
  if (!bus.PowerOnAndCheck()) {
    outcome.result = BlockResult::NotStarted;
    bus.PowerOff();
    outcome.portFailed = bus.PortFailed();
    return outcome;
  }

  BlockIo io(bus, memory);
  const uint32_t capacity = memory.capacity;
  const bool pageMode = memory.pageMode || !memory.type().byteModeAllowed;
  // Each block is asked for only once the one before is written and its write cycle over
  // (acknowledged, or its polls spent): a stop never leaves a block half sent.
  const uint32_t block = pageMode ? memory.type().pageSize : 1;
  const uint32_t step = ByteProgramProgressStep(capacity);
  for (uint32_t a = 0; a < capacity; a += block) {
    if (StopRequested(control)) {
      outcome.stopped = true;
      break;
    }
    if (pageMode) {
      Report(progress, a);
    } else if (a % step == step - 1) {
      Report(progress, a);
    }
    outcome.lastAddress = a;
    outcome.result = pageMode ? io.WritePage(a, data.data() + a, static_cast<int>(block))
                              : io.WriteByte(a, data[a]);
    if (outcome.result != BlockResult::Ok || bus.PortFailed()) break;
    outcome.bytesWritten = a + block;
    Done(control, outcome.bytesWritten);
  }
  bus.PowerOff();
  outcome.portFailed = bus.PortFailed();
  return outcome;
}

ProgramOutcome ProgramSelectedByte(BusExecutor& bus, const CurrentMemory& memory,
                                   std::span<const uint8_t> data) {
  bus.ClearPortFailure();
  ProgramOutcome outcome;
  outcome.lastAddress = memory.cursorAddress;
  if (!bus.PowerOnAndCheck()) {
    outcome.result = BlockResult::NotStarted;
  } else if (memory.cursorAddress < memory.capacity) {
    BlockIo io(bus, memory);
    outcome.result = io.WriteByte(memory.cursorAddress, data[memory.cursorAddress]);
  } else {
    outcome.result = BlockResult::NotStarted;
  }
  bus.PowerOff();
  outcome.portFailed = bus.PortFailed();
  return outcome;
}

CompareOutcome CompareMemory(BusExecutor& bus, const CurrentMemory& memory,
                             std::span<const uint8_t> expected, std::span<uint8_t> scratch,
                             const ProgressCallback& progress, const OperationControl& control) {
  CompareOutcome outcome;
  const uint32_t capacity = memory.capacity;
  if (scratch.size() < capacity) return outcome;  // the caller could not get its scratch area

  bus.ClearPortFailure();
  outcome.reachable = bus.PowerOnAndCheck();
  if (outcome.reachable) {
    const BlockResult result =
        ReadInto(bus, memory, scratch.data(), false, progress, control, outcome.bytesCompared);
    outcome.reachable = result != BlockResult::NoDeviceAck;
    outcome.stopped = outcome.reachable && outcome.bytesCompared < capacity;
  } else {
    (void)bus.Execute({});  // a stop alone, as after a read
  }
  bus.PowerOff();
  if (bus.PortFailed()) outcome.reachable = false;
  if (!outcome.reachable) {
    outcome.stopped = false;
    outcome.bytesCompared = 0;
    return outcome;
  }
  for (uint32_t i = 0; i < outcome.bytesCompared; ++i) {
    if (expected[i] == scratch[i]) continue;
    if (outcome.differences++ == 0) outcome.firstDifference = i;
  }
  return outcome;
}

}  // namespace keldar
