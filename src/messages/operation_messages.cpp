#include "messages/operation_messages.h"

namespace keldar::messages {

std::string_view ProgramMessage(const ProgramOutcome& outcome) {
  if (outcome.portFailed) return kProgramInterrupted;
  switch (outcome.result) {
    case BlockResult::Ok:
      return kProgramSucceeded;
    case BlockResult::NoDeviceAck:
      return kProgramImpossible;
    default:
      return kProgramInterrupted;
  }
}

std::string CompareMessage(const CompareOutcome& outcome, uint32_t capacity) {
  if (!outcome.reachable) return std::string(kCompareError);
  if (outcome.differences == 0) return std::string(kCompareSame);
  return "Attention : " + std::to_string(outcome.differences) +
         " octet(s) différent(s) sur un total de " + std::to_string(capacity) + " !";
}

}  // namespace keldar::messages
