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

// The hook of a read whose first lead bytes are dropped: for each byte kept, the bytes done, a
// point of the bar every step bytes, and a stop asked, which ends the read at that byte (still
// received, as the last one) and leaves the count of bytes kept in bytesRead.
ReadProgress CountingHook(uint32_t lead, uint32_t step, const ProgressCallback& progress,
                          const OperationControl& control, uint32_t& bytesRead) {
  return [lead, step, &progress, &control, &bytesRead](uint32_t at) {
    if (at < lead) return true;
    const uint32_t index = at - lead;
    Done(control, index);
    if (StopRequested(control)) {
      bytesRead = index + 1;
      return false;
    }
    if (index % step == step - 1) Report(progress, index);
    return true;
  };
}

// Runs the whole sequential read into scratch with the read progress rule; the count of bytes
// received lands in bytesRead, fewer than the capacity when a stop ended the read.
BlockResult ReadInto(BusExecutor& bus, const CurrentMemory& memory, uint8_t* scratch,
                     bool enforceAcks, const ProgressCallback& progress,
                     const OperationControl& control, uint32_t& bytesRead) {
  BlockIo io(bus, memory);
  const uint32_t step = ReadProgressStep(memory.capacity);
  bytesRead = memory.capacity;
  const BlockResult result =
      io.SequentialRead(scratch, enforceAcks, CountingHook(0, step, progress, control, bytesRead));
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

// The reads of a range: one per span a sequential read runs through, and one per 256-byte block
// on a memory of one address byte.
uint32_t RangeReadSpan(const MemoryType& type) {
  if (type.addressBytes == 1 && type.capacity > kBlockBytes) return kBlockBytes;
  return SequentialSpan(type);
}

// ReadInto for a range of the memory: the bytes land in scratch[0, range.count()). One transfer:
// each span's read begins with a repeated start after the previous span's last byte.
BlockResult ReadRangeInto(BusExecutor& bus, const CurrentMemory& memory, AddressRange range,
                          uint8_t* scratch, bool enforceAcks, const ProgressCallback& progress,
                          const OperationControl& control, uint32_t& bytesRead) {
  BlockIo io(bus, memory);
  const uint32_t count = range.count();
  const uint32_t step = ReadProgressStep(count);
  const uint32_t start = memory.typeIndex == kX24C01Index ? 0 : range.first;
  const uint32_t lead = range.first - start;  // bytes read before the range, then dropped
  std::vector<uint8_t> bytes(range.last - start + 1);
  bytesRead = count;
  const BlockResult result = io.ReadSpans(start, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                          RangeReadSpan(memory.type()), enforceAcks,
                                          CountingHook(lead, step, progress, control, bytesRead));
  if (result != BlockResult::Ok) {
    bytesRead = 0;
    return result;
  }
  std::copy_n(bytes.begin() + lead, bytesRead, scratch);
  Done(control, bytesRead);
  if (bytesRead == count) Report(progress, count - 1);
  return BlockResult::Ok;
}

// One pass of the reads of an operation into scratch: its result, and the bytes received in
// bytesRead. It ends with the stop.
using ReadPass =
    std::function<BlockResult(uint8_t* scratch, bool enforceAcks, uint32_t& bytesRead)>;

ReadOutcome ReadWith(BusExecutor& bus, uint32_t count, std::span<uint8_t> into,
                     const ReadPass& pass) {
  bus.ClearPortFailure();
  ReadOutcome outcome;
  std::vector<uint8_t> scratch(count);
  if (!bus.PowerOnAndCheck()) {
    outcome.result = BlockResult::NoDeviceAck;
    (void)bus.Execute({});  // a stop alone, as after a read
  } else {
    outcome.result = pass(scratch.data(), true, outcome.bytesRead);
    outcome.stopped = outcome.bytesRead < count && outcome.result == BlockResult::Ok;
  }
  bus.PowerOff();
  outcome.portFailed = bus.PortFailed();
  if (outcome.succeeded()) std::copy(scratch.begin(), scratch.end(), into.begin());
  return outcome;
}

CompareOutcome CompareWith(BusExecutor& bus, uint32_t firstAddress, uint32_t count,
                           std::span<const uint8_t> expected, std::span<uint8_t> scratch,
                           const ReadPass& pass) {
  CompareOutcome outcome;
  if (scratch.size() < count) return outcome;  // the caller could not get its scratch area

  bus.ClearPortFailure();
  outcome.reachable = bus.PowerOnAndCheck();
  if (outcome.reachable) {
    const BlockResult result = pass(scratch.data(), false, outcome.bytesCompared);
    // Only a refused device byte ends a read whose word-address acknowledges are not enforced,
    // except on an adapter that cannot send past a refused byte (i2c-dev): there a refused word
    // address leaves nothing to compare, and the compare reports a communication error too.
    outcome.reachable = result == BlockResult::Ok;
    outcome.stopped = outcome.reachable && outcome.bytesCompared < count;
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
    if (outcome.differences++ == 0) outcome.firstDifference = firstAddress + i;
  }
  return outcome;
}

bool Whole(const CurrentMemory& memory, AddressRange range) {
  return range.first == 0 && range.last == memory.capacity - 1;
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
  return ReadWith(bus, memory.capacity, into, [&](uint8_t* scratch, bool enforce, uint32_t& n) {
    return ReadInto(bus, memory, scratch, enforce, progress, control, n);
  });
}

ReadOutcome ReadRange(BusExecutor& bus, const CurrentMemory& memory, AddressRange range,
                      std::span<uint8_t> into, const ProgressCallback& progress,
                      const OperationControl& control) {
  if (Whole(memory, range)) return ReadMemory(bus, memory, into, progress, control);
  return ReadWith(bus, range.count(), into, [&](uint8_t* scratch, bool enforce, uint32_t& n) {
    return ReadRangeInto(bus, memory, range, scratch, enforce, progress, control, n);
  });
}

ProgramOutcome ProgramMemory(BusExecutor& bus, const CurrentMemory& memory,
                             std::span<const uint8_t> data, const ProgressCallback& progress,
                             const OperationControl& control) {
  return ProgramRange(bus, memory, {0, memory.capacity - 1}, data, progress, control);
}

ProgramOutcome ProgramRange(BusExecutor& bus, const CurrentMemory& memory, AddressRange range,
                            std::span<const uint8_t> data, const ProgressCallback& progress,
                            const OperationControl& control) {
  bus.ClearPortFailure();
  ProgramOutcome outcome;
  outcome.firstAddress = range.first;
  outcome.lastAddress = range.first;
  if (!bus.PowerOnAndCheck()) {
    outcome.result = BlockResult::NotStarted;
    bus.PowerOff();
    outcome.portFailed = bus.PortFailed();
    return outcome;
  }

  BlockIo io(bus, memory);
  const bool pageMode = memory.pageMode || !memory.type().byteModeAllowed;
  // Each block is asked for only once the one before is written and its write cycle over
  // (acknowledged, or its polls spent): a stop never leaves a block half sent. A block runs to
  // the end of its page or of the range: the whole memory goes in whole pages, and a range's
  // ends are partial pages that stay inside their page, one write cycle each.
  const uint32_t page = pageMode ? memory.type().pageSize : 1;
  const uint32_t step = ByteProgramProgressStep(range.count());
  for (uint32_t a = range.first; a <= range.last;) {
    if (StopRequested(control)) {
      outcome.stopped = true;
      break;
    }
    const uint32_t offset = a - range.first;
    const uint32_t end = std::min(range.last, a - a % page + page - 1);
    if (pageMode) {
      Report(progress, offset);
    } else if (offset % step == step - 1) {
      Report(progress, offset);
    }
    outcome.lastAddress = a;
    outcome.result = pageMode ? io.WritePage(a, data.data() + offset, static_cast<int>(end - a + 1))
                              : io.WriteByte(a, data[offset]);
    if (outcome.result != BlockResult::Ok || bus.PortFailed()) break;
    outcome.bytesWritten = end - range.first + 1;
    Done(control, outcome.bytesWritten);
    a = end + 1;
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
  return CompareWith(bus, 0, memory.capacity, expected, scratch,
                     [&](uint8_t* into, bool enforce, uint32_t& n) {
                       return ReadInto(bus, memory, into, enforce, progress, control, n);
                     });
}

CompareOutcome CompareRange(BusExecutor& bus, const CurrentMemory& memory, AddressRange range,
                            std::span<const uint8_t> expected, std::span<uint8_t> scratch,
                            const ProgressCallback& progress, const OperationControl& control) {
  if (Whole(memory, range)) {
    return CompareMemory(bus, memory, expected, scratch, progress, control);
  }
  return CompareWith(bus, range.first, range.count(), expected, scratch,
                     [&](uint8_t* into, bool enforce, uint32_t& n) {
                       return ReadRangeInto(bus, memory, range, into, enforce, progress, control,
                                            n);
                     });
}

}  // namespace keldar
