#include "messages/operation_messages.h"

#include <cstdio>

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

std::string HexAddress(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "$%04X", address);
  return text;
}

std::string VerifyMessage(const CompareOutcome& verify, uint32_t capacity) {
  if (!verify.reachable) return std::string(kVerifyUnreadable);
  if (verify.differences == 0) return std::string(kProgramSucceeded);
  return "Programmation erronée : \nla mémoire relue diffère du buffer sur " +
         std::to_string(verify.differences) + " octet(s)\nsur un total de " +
         std::to_string(capacity) + ", le premier à l'adresse " +
         HexAddress(verify.firstDifference) +
         " !\n\nLa mémoire est peut-être protégée en écriture (broche WP),\nou ses pages sont "
         "plus petites que celles du type choisi :\nessayez alors l'écriture octet par octet...";
}

std::string CompareMessage(const CompareOutcome& outcome, uint32_t capacity) {
  if (!outcome.reachable) return std::string(kCompareError);
  if (outcome.differences == 0) return std::string(kCompareSame);
  return "Attention : " + std::to_string(outcome.differences) +
         " octet(s) différent(s) sur un total de " + std::to_string(capacity) + " !";
}

}  // namespace keldar::messages
