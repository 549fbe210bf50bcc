#include "session/operation_service.h"

#include "data/repetition.h"
#include "i2c/call_counts.h"
#include "i2c/executors.h"
#include "session/time_left.h"

namespace keldar {
namespace {

// The port calls of each phase, which weigh the phases still to come in the time left.
std::vector<uint64_t> PhaseCalls(const OperationRequest& request) {
  const MemoryType& type = request.memory.type();
  const int32_t accessTime = request.lineMap.accessTime;
  const uint64_t read = ReadCalls(type).steps.PortCalls(accessTime);
  switch (request.kind) {
    case OperationKind::Read:
    case OperationKind::Compare:
      return {read};
    case OperationKind::ProgramMemory: {
      const bool pageMode = request.memory.pageMode || !type.byteModeAllowed;
      const OperationCalls program = pageMode ? PageProgramCalls(type) : ByteProgramCalls(type);
      std::vector<uint64_t> calls{program.steps.PortCalls(accessTime)};
      if (request.verify) calls.push_back(read);
      return calls;
    }
    case OperationKind::ProgramByte:
    case OperationKind::Identify:
      break;
  }
  return {};
}

// The in-situ adapter's transistors invert SCL and SDA both ways: the part sits on a board.
bool OnBoard(const LineMap& map) {
  return map.complementScl && map.complementSdaOut && map.complementSdaIn;
}

// One operation's reports: phases, bar and bytes, with the time left measured as it goes.
class Reporter {
 public:
  Reporter(const OperationRequest& request, const OperationService::Clock& clock,
           OperationObserver& observer, const StopRequest& stop)
      : clock_(clock), observer_(observer), stop_(stop), timeLeft_(PhaseCalls(request)) {}

  void Begin(OperationPhase phase, uint32_t barMaximum) {
    timeLeft_.StartPhase(phase_++, Now());
    observer_.PhaseStarted(phase, barMaximum);
  }
  ProgressCallback Bar() {
    return [this](uint32_t value) { observer_.BarMoved(value); };
  }
  OperationControl Control(uint32_t total) {
    return {[this, total](uint32_t done) {
              observer_.BytesDone(done, total, timeLeft_.Estimate(done, total, Now()));
            },
            [this] { return stop_.Requested(); }};
  }

 private:
  TimeLeft::Clock::time_point Now() const { return clock_ ? clock_() : TimeLeft::Clock::now(); }

  const OperationService::Clock& clock_;
  OperationObserver& observer_;
  const StopRequest& stop_;
  TimeLeft timeLeft_;
  size_t phase_ = 0;
};

// The outcome of a request refused before anything was sent.
OperationOutcome NothingSent(const OperationRequest& request) {
  OperationOutcome outcome;
  outcome.kind = request.kind;
  outcome.capacity = request.memory.capacity;
  outcome.range = request.range.value_or(AddressRange{0, request.memory.capacity - 1});
  outcome.read.result = outcome.program.result = BlockResult::NotStarted;
  return outcome;
}

}  // namespace

bool OperationOutcome::stopped() const {
  if (refusal) return false;
  switch (kind) {
    case OperationKind::Read:
      return read.stopped && !read.portFailed;
    case OperationKind::ProgramMemory:
      if (program.stopped) return !program.portFailed;
      return verify && verify->stopped;
    case OperationKind::ProgramByte:
      return false;
    case OperationKind::Compare:
      return compare.stopped;
    case OperationKind::Identify:
      return identify.stopped && !identify.portFailed;
  }
  return false;
}

bool OperationOutcome::succeeded() const {
  if (refusal) return false;
  switch (kind) {
    case OperationKind::Read:
      return read.succeeded();
    case OperationKind::ProgramMemory:
      return program.succeeded() && (!verify || verify->same());
    case OperationKind::ProgramByte:
      return program.succeeded();
    case OperationKind::Compare:
      return compare.same();
    case OperationKind::Identify:
      return identify.verdict == IdentifyVerdict::OneType && !identify.stopped &&
             !identify.portFailed;
  }
  return false;
}

OperationOutcome OperationService::Run(ControlPort& port, const OperationRequest& request,
                                       OperationObserver& observer, const StopRequest& stop) const {
  return Run(*ExecutorFor(port, request.lineMap), OnBoard(request.lineMap), request, observer,
             stop);
}

OperationOutcome OperationService::Run(const ReaderDevice& device, const OperationRequest& request,
                                       OperationObserver& observer, const StopRequest& stop) const {
  if (!device.i2c) return Run(*device.port, request, observer, stop);
  const CurrentMemory& memory = request.memory;
  if (device.checkUse) {
    if (std::optional<PortRefusal> refusal = device.checkUse(
            memory.type(), memory.baseAddress, request.kind == OperationKind::Identify)) {
      OperationOutcome outcome = NothingSent(request);
      outcome.refusal = std::move(refusal);
      return outcome;
    }
  }
  // The adapter's board carries the memory, and may carry other parts.
  return Run(*ExecutorFor(device, request.lineMap), true, request, observer, stop);
}

OperationOutcome OperationService::Run(BusExecutor& bus, bool onBoard,
                                       const OperationRequest& request, OperationObserver& observer,
                                       const StopRequest& stop) const {
  const CurrentMemory& memory = request.memory;
  const uint32_t capacity = memory.capacity;
  const AddressRange range = request.range.value_or(AddressRange{0, capacity - 1});
  const uint32_t count = range.count();
  const bool whole = range.first == 0 && count == capacity;
  // A range outside the memory: nothing is sent, and nothing is reported done.
  if (range.first > range.last || range.last >= capacity) return NothingSent(request);
  OperationOutcome outcome;
  outcome.kind = request.kind;
  outcome.capacity = capacity;
  outcome.range = range;
  Reporter report(request, clock_, observer, stop);
  // The data of the range, for programming and compare.
  const auto data = [&] { return std::span(request.data).subspan(range.first, count); };

  switch (request.kind) {
    case OperationKind::Read:
      report.Begin(OperationPhase::Reading, count - 1);
      outcome.memory.resize(count);
      outcome.read =
          ReadRange(bus, memory, range, outcome.memory, report.Bar(), report.Control(count));
      if (!outcome.read.succeeded()) {
        outcome.memory.clear();
      } else if (whole) {
        outcome.repeatsEvery = RepetitionPeriod(outcome.memory);
      }
      break;
    case OperationKind::ProgramMemory:
      report.Begin(OperationPhase::Programming, count);
      outcome.program =
          ProgramRange(bus, memory, range, data(), report.Bar(), report.Control(count));
      // What the memory acknowledged is not yet what it holds (write protection, a smaller page
      // than its type's): the success is what reads back.
      if (outcome.program.succeeded() && request.verify) {
        report.Begin(OperationPhase::Verifying, count - 1);
        std::vector<uint8_t> scratch(count);
        outcome.verify =
            CompareRange(bus, memory, range, data(), scratch, report.Bar(), report.Control(count));
      }
      break;
    case OperationKind::ProgramByte:
      report.Begin(OperationPhase::Programming, capacity);
      outcome.program = ProgramSelectedByte(bus, memory, request.data);
      break;
    case OperationKind::Compare: {
      report.Begin(OperationPhase::Comparing, count - 1);
      std::span<uint8_t> scratch = request.scratch;
      if (scratch.empty()) {
        outcome.memory.resize(count);
        scratch = outcome.memory;
      }
      outcome.compare =
          CompareRange(bus, memory, range, data(), scratch, report.Bar(), report.Control(count));
      if (request.scratch.empty()) outcome.memory.resize(outcome.compare.bytesCompared);
      break;
    }
    case OperationKind::Identify:
      report.Begin(OperationPhase::Identifying, kIdentifySteps);
      outcome.identify = IdentifyMemory(bus, memory.baseAddress, report.Bar(),
                                        {{}, [&stop] { return stop.Requested(); }});
      outcome.identify.inSitu = onBoard;
      break;
  }
  return outcome;
}

}  // namespace keldar
