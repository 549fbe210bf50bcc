#include "session/session.h"

#include <algorithm>

namespace keldar {

OperationRequest Session::Request(OperationKind kind) const {
  OperationRequest request;
  request.kind = kind;
  request.memory = currentMemory;
  request.lineMap = lineMap;
  if (kind != OperationKind::Read && kind != OperationKind::Identify) {
    request.data.assign(buffer.begin(), buffer.begin() + currentMemory.capacity);
  }
  return request;
}

void Session::ApplyOutcome(const OperationOutcome& outcome) {
  if (outcome.kind != OperationKind::Read || !outcome.succeeded()) return;
  std::copy(outcome.memory.begin(), outcome.memory.end(), buffer.begin() + outcome.range.first);
}

}  // namespace keldar
