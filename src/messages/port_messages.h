// Why a port was refused, in French, the same for the window and keldar-cli.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hw/port_refusal.h"

namespace keldar::messages {

// In lower case, to follow the port's name and a colon or stand in parentheses:
// "introuvable : l'adaptateur est-il branché ?", "utilisé par minicom (processus 1234)".
[[nodiscard]] std::string PortRefusalText(const PortRefusal& refusal);

// The same in a few words, for the window's status line: "Port introuvable".
[[nodiscard]] std::string_view PortRefusalSummary(PortRefusalReason reason);
// Every one of them, for sizing the status line's font.
[[nodiscard]] std::vector<std::string_view> PortRefusalSummaries();

}  // namespace keldar::messages
