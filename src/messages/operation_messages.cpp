#include "messages/operation_messages.h"

#include <cstdio>

#include "messages/identify_messages.h"
#include "messages/port_messages.h"
#include "messages/system_errors.h"

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

std::string VerifyMessage(const CompareOutcome& verify, uint32_t total) {
  if (!verify.reachable) return std::string(kVerifyUnreadable);
  if (verify.differences == 0) return std::string(kProgramSucceeded);
  return "Programmation erronée : \nla mémoire relue diffère du buffer sur " +
         std::to_string(verify.differences) + " octet(s)\nsur un total de " +
         std::to_string(total) + ", le premier à l'adresse " + HexAddress(verify.firstDifference) +
         " !\n\nLa mémoire est peut-être protégée en écriture (broche WP),\nou ses pages sont "
         "plus petites que celles du type choisi :\nessayez alors l'écriture octet par octet...";
}

std::string CompareMessage(const CompareOutcome& outcome, uint32_t total) {
  if (!outcome.reachable) return std::string(kCompareError);
  if (outcome.differences == 0) return std::string(kCompareSame);
  return "Attention : " + std::to_string(outcome.differences) +
         " octet(s) différent(s) sur un total de " + std::to_string(total) + " !";
}

std::string_view RunningText(OperationPhase phase) {
  switch (phase) {
    case OperationPhase::Reading:
      return kReadRunning;
    case OperationPhase::Programming:
      return kProgramRunning;
    case OperationPhase::Verifying:
      return kVerifyRunning;
    case OperationPhase::Comparing:
      return kCompareRunning;
    case OperationPhase::Identifying:
      return kIdentifyRunning;
  }
  return {};
}

std::string StoppedProgramMessage(const ProgramOutcome& outcome) {
  if (outcome.bytesWritten == 0) return std::string(kProgramStoppedAtOnce);
  return "Programmation interrompue : les octets " + HexAddress(outcome.firstAddress) + " à " +
         HexAddress(outcome.firstAddress + outcome.bytesWritten - 1) +
         " sont programmés, le reste de la mémoire n'a pas été modifié.";
}

std::string StoppedCompareMessage(const CompareOutcome& outcome, uint32_t total) {
  const std::string read = " parmi les " + std::to_string(outcome.bytesCompared) +
                           " premiers octets sur un total de " + std::to_string(total) + ".";
  if (outcome.differences == 0) return "Comparaison interrompue : aucune différence" + read;
  return "Comparaison interrompue : " + std::to_string(outcome.differences) +
         " octet(s) différent(s)" + read;
}

std::string OutcomeMessage(const OperationOutcome& outcome) {
  if (outcome.refusal) return Sentence(PortRefusalText(*outcome.refusal));
  const bool stopped = outcome.stopped();
  switch (outcome.kind) {
    case OperationKind::Read:
      if (stopped) return std::string(kReadStopped);
      return outcome.read.succeeded() ? std::string() : std::string(kReadFailed);
    case OperationKind::ProgramMemory:
      if (!outcome.program.succeeded()) {
        return stopped ? StoppedProgramMessage(outcome.program)
                       : std::string(ProgramMessage(outcome.program));
      }
      if (!outcome.verify) return std::string(kProgramSucceeded);
      if (stopped) return std::string(kVerifyStopped);
      return VerifyMessage(*outcome.verify, outcome.range.count());
    case OperationKind::ProgramByte:
      return std::string(ProgramMessage(outcome.program));
    case OperationKind::Compare:
      if (stopped) return StoppedCompareMessage(outcome.compare, outcome.range.count());
      return CompareMessage(outcome.compare, outcome.range.count());
    case OperationKind::Identify:
      return IdentifyMessage(outcome.identify);
  }
  return {};
}

std::string_view OutcomeTitle(const OperationOutcome& outcome) {
  switch (outcome.kind) {
    case OperationKind::Read:
      return outcome.stopped() ? kReadTitle : kReadFailedTitle;
    case OperationKind::ProgramMemory:
      return kProgramMemoryTitle;
    case OperationKind::ProgramByte:
      return kProgramByteTitle;
    case OperationKind::Compare:
      return kCompareTitle;
    case OperationKind::Identify:
      return kIdentifyTitle;
  }
  return {};
}

std::string RepetitionNote(const OperationOutcome& outcome) {
  if (outcome.repeatsEvery == 0) return {};
  return "La mémoire lue se répète tous les " + std::to_string(outcome.repeatsEvery) +
         " octets : le type choisi est peut-être plus grand que la mémoire.";
}

}  // namespace keldar::messages
