// The French texts of the identification of the part fitted, shared by the window and
// keldar-cli: what the transfers saw, then what fits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "i2c/identify.h"

namespace keldar::messages {

inline constexpr std::string_view kIdentifyRunning = "Identification en cours...";
inline constexpr std::string_view kIdentifyTitle = "Identification de la mémoire :";
inline constexpr std::string_view kIdentifyStopped =
    "Identification interrompue : rien n'a été écrit dans la mémoire.";
inline constexpr std::string_view kIdentifyFailed =
    "Identification impossible :\nVérifiez que l'insertion de la mémoire est correcte.";

// One sentence a line: the select addresses that answered, the word address, what the contents
// showed, the types that fit, and what other devices on a board mean for the result.
[[nodiscard]] std::string IdentifyMessage(const IdentifyOutcome& outcome);

// Offers the type found.
[[nodiscard]] std::string SelectTypeQuestion(int32_t typeIndex);

}  // namespace keldar::messages
