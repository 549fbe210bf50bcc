// The French texts that report the memory operations, shared by the window and the command-line
// tool so that both say exactly the same thing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "i2c/operations.h"

namespace keldar::messages {

inline constexpr std::string_view kReadRunning = "Lecture de la mémoire...";
inline constexpr std::string_view kProgramRunning = "Programmation en cours";
inline constexpr std::string_view kProgramDone = "Programmation terminée";
inline constexpr std::string_view kVerifyRunning = "Vérification en cours...";
inline constexpr std::string_view kCompareRunning = "Comparaison en cours...";
inline constexpr std::string_view kCompareDone = "Comparaison terminée";

inline constexpr std::string_view kReadFailedTitle = "Attention, erreur de lecture !";
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
inline constexpr std::string_view kVerifyUnreadable =
    "Programmation non vérifiée : \nla relecture de la mémoire EEPROM a échoué...";

inline constexpr std::string_view kCompareTitle = "Comparaison Buffer / Mémoire :";
inline constexpr std::string_view kCompareSame = "Aucune différence entre le buffer et l'EEPROM...";
inline constexpr std::string_view kCompareError = "Erreur de communication avec la mémoire...";

// The programming result's text: success, the "impossible" text for a refused first byte, the
// "interrompue" text for every other failure, a failed port included.
[[nodiscard]] std::string_view ProgramMessage(const ProgramOutcome& outcome);

// An address as the program writes it: "$" and four hexadecimal digits, five from 64 KiB on.
[[nodiscard]] std::string HexAddress(uint32_t address);

// After a programming that succeeded, what the read back found: the success text when the
// memory holds the buffer, else the count and the first differing address, or the failed read.
[[nodiscard]] std::string VerifyMessage(const CompareOutcome& verify, uint32_t capacity);

// "Attention : %i octet(s) différent(s) sur un total de %i !" filled in, or the text for no
// difference or for a communication error.
[[nodiscard]] std::string CompareMessage(const CompareOutcome& outcome, uint32_t capacity);

}  // namespace keldar::messages
