// French words for the system's error numbers, so that no English system text ever reaches a
// French sentence, and the sentence form of a reason for the window's boxes and tooltips.
#pragma once

#include <string>
#include <string_view>

namespace keldar::messages {

// In lower case, to follow a colon: "erreur d'entrée-sortie". A value it has no words for gives
// "erreur système n° N"; 0, "erreur inconnue".
[[nodiscard]] std::string ErrnoText(int error);

// A reason made a sentence: its first letter in upper case and a full stop, unless it ends with
// one already ("Introuvable : l'adaptateur est-il branché ?").
[[nodiscard]] std::string Sentence(std::string_view reason);

}  // namespace keldar::messages
