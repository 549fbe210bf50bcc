// The French texts that report the memory operations, shared by the window and the command-line
// tool so that both say exactly the same thing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "i2c/operations.h"
#include "session/operation_service.h"

namespace keldar::messages {

inline constexpr std::string_view kReadRunning = "Lecture de la mémoire...";
inline constexpr std::string_view kProgramRunning = "Programmation en cours";
inline constexpr std::string_view kProgramDone = "Programmation terminée";
inline constexpr std::string_view kVerifyRunning = "Vérification en cours...";
inline constexpr std::string_view kCompareRunning = "Comparaison en cours...";
inline constexpr std::string_view kCompareDone = "Comparaison terminée";

inline constexpr std::string_view kReadFailedTitle = "Attention, erreur de lecture !";
inline constexpr std::string_view kReadTitle = "Lecture de la mémoire :";
inline constexpr std::string_view kReadStopped =
    "Lecture interrompue : le buffer n'a pas été modifié.";
inline constexpr std::string_view kReadFailed =
    "Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.\n";

inline constexpr std::string_view kProgramByteTitle = "Programmation d'un octet :";
inline constexpr std::string_view kProgramMemoryTitle = "Programmation de la mémoire :";
inline constexpr std::string_view kProgramSucceeded =
    "La programmation s'est correctement déroulée...";
inline constexpr std::string_view kProgramImpossible =
    "Programmation impossible ou erronée: \nla mémoire EEPROM est absente, défectueuse ou mal "
    "insérée...\n\nSi le problème surgit en cours de programmation, vérifiez que\nle type de "
    "mémoire sélectionné correspond bien à l'EEPROM\nprésente physiquement...";
inline constexpr std::string_view kProgramInterrupted =
    "Programmation interrompue : \nproblème de communication avec la mémoire EEPROM...";
inline constexpr std::string_view kProgramStoppedAtOnce =
    "Programmation interrompue : aucun octet n'a été programmé, la mémoire n'a pas été modifiée.";
inline constexpr std::string_view kVerifyStopped =
    "Vérification interrompue : la mémoire est programmée, mais elle n'a pas été vérifiée.";
inline constexpr std::string_view kVerifyUnreadable =
    "Programmation non vérifiée : \nla relecture de la mémoire EEPROM a échoué...";

inline constexpr std::string_view kCompareTitle = "Comparaison Buffer / Mémoire :";
inline constexpr std::string_view kCompareSame = "Aucune différence entre le buffer et l'EEPROM...";
inline constexpr std::string_view kCompareError = "Erreur de communication avec la mémoire...";

// The status line's text while a phase runs.
[[nodiscard]] std::string_view RunningText(OperationPhase phase);

// While a stop waits for its safe point, and why.
inline constexpr std::string_view kStopping =
    "Arrêt demandé : l'opération s'arrête dès que la mémoire le permet...";
inline constexpr std::string_view kStillStopping =
    "Arrêt en cours : la page en cours d'écriture doit être terminée, la mémoire ne doit pas "
    "perdre son alimentation pendant une écriture...";

// The programming result's text: success, the "impossible" text for a refused first byte, the
// "interrompue" text for every other failure, a failed port included.
[[nodiscard]] std::string_view ProgramMessage(const ProgramOutcome& outcome);

// An address as the program writes it: "$" and four hexadecimal digits, five from 64 KiB on.
[[nodiscard]] std::string HexAddress(uint32_t address);

// After a programming that succeeded, what the read back found: the success text when the
// memory holds the buffer, else the count and the first differing address, or the failed read.
[[nodiscard]] std::string VerifyMessage(const CompareOutcome& verify, uint32_t total);

// "Attention : %i octet(s) différent(s) sur un total de %i !" filled in, or the text for no
// difference or for a communication error.
[[nodiscard]] std::string CompareMessage(const CompareOutcome& outcome, uint32_t total);

// What a stopped programming has done: no byte, or the bytes from its first address to the last
// one written.
[[nodiscard]] std::string StoppedProgramMessage(const ProgramOutcome& outcome);
// What a stopped compare found in the bytes it had read.
[[nodiscard]] std::string StoppedCompareMessage(const CompareOutcome& outcome, uint32_t total);

// The text that reports an operation's end, stops and failures included (an I2C adapter's refusal:
// why); empty for a read that succeeded, which the refreshed grid shows.
[[nodiscard]] std::string OutcomeMessage(const OperationOutcome& outcome);
// The title of its message box.
[[nodiscard]] std::string_view OutcomeTitle(const OperationOutcome& outcome);
// After a read whose bytes repeat themselves, what that may mean; empty otherwise.
[[nodiscard]] std::string RepetitionNote(const OperationOutcome& outcome);

}  // namespace keldar::messages
