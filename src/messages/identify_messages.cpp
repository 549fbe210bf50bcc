#include "messages/identify_messages.h"

#include <cstdio>
#include <vector>

#include "i2c/catalogue.h"

namespace keldar::messages {

namespace {

// "a", "a et b", "a, b et c"; with "ou" for a choice.
std::string Listed(const std::vector<std::string>& items, std::string_view last) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " " + std::string(last) + " " : ", ";
    text += items[i];
  }
  return text;
}

// The device bytes for writing of the select addresses set in `selects`: "$A0 et $A2".
std::string DeviceBytes(uint8_t selects) {
  std::vector<std::string> bytes;
  for (int s = 0; s < 8; ++s) {
    if (((selects >> s) & 1U) == 0) continue;
    char text[8];
    std::snprintf(text, sizeof text, "$%02X", 0xA0U | (static_cast<unsigned>(s) << 1));
    bytes.emplace_back(text);
  }
  return Listed(bytes, "et");
}

// The base addresses of the select addresses set, as the menu writes them: "$0 et $1".
std::string BaseAddresses(uint8_t selects) {
  std::vector<std::string> bases;
  for (int s = 0; s < 8; ++s) {
    if (((selects >> s) & 1U) != 0) bases.push_back("$" + std::to_string(s));
  }
  return Listed(bases, "ou");
}

std::string Types(const std::vector<int32_t>& types) {
  std::vector<std::string> names;
  for (const int32_t index : types)
    names.emplace_back(kMemoryTypes[static_cast<size_t>(index)].name);
  return Listed(names, "ou");
}

std::string Plural(uint8_t selects, std::string_view one, std::string_view several) {
  return std::string((selects & (selects - 1)) == 0 ? one : several);
}

}  // namespace

std::string IdentifyMessage(const IdentifyOutcome& outcome) {
  if (outcome.portFailed) return "Erreur de communication avec la mémoire...";
  if (outcome.stopped) return std::string(kIdentifyStopped);
  if (outcome.verdict == IdentifyVerdict::NotStarted) return std::string(kIdentifyFailed);

  const IdentifyFindings& seen = outcome.seen;
  std::vector<std::string> lines;
  if (seen.pseudoI2c) {
    lines.emplace_back(
        "La mémoire répond à l'octet de contrôle $01, qui lit son adresse 0 en pseudo-I2C et "
        "auquel aucun composant I2C ne répond.");
  } else if (seen.answering == 0) {
    lines.emplace_back("Aucun composant ne répond, à aucune des adresses $A0 à $AE.");
  } else {
    lines.push_back(Plural(seen.answering, "Adresse qui répond : ", "Adresses qui répondent : ") +
                    DeviceBytes(seen.answering) + ".");
  }
  if (outcome.verdict == IdentifyVerdict::NothingAnswers && seen.answering != 0) {
    lines.push_back(
        "Rien ne répond à l'adresse de base choisie : choisissez celle de la mémoire "
        "à identifier (" +
        BaseAddresses(seen.answering) + "), puis recommencez.");
  }
  if (seen.width != AddressWidth::Unknown) {
    lines.emplace_back(seen.width == AddressWidth::OneByte ? "Adresse de mot sur un octet."
                                                           : "Adresse de mot sur deux octets.");
  }
  if (seen.uniform) {
    char text[96];
    std::snprintf(text, sizeof text,
                  "Tous les octets lus valent $%02X : mémoire vierge ou de contenu uniforme.",
                  *seen.uniform);
    lines.emplace_back(text);
  }
  if (seen.repeatsEvery != 0) {
    lines.push_back("Le contenu se répète tous les " + std::to_string(seen.repeatsEvery) +
                    " octets.");
  }
  if (seen.sameContents != 0) {
    lines.push_back(DeviceBytes(seen.sameContents) + Plural(seen.sameContents, " lit", " lisent") +
                    " les mêmes octets que " +
                    DeviceBytes(static_cast<uint8_t>(1U << seen.examined)) + ".");
  }
  if (seen.wrapsAtEnd) {
    lines.push_back("Une lecture qui passe la fin de " +
                    DeviceBytes(static_cast<uint8_t>(1U << seen.examined)) +
                    (*seen.wrapsAtEnd ? " revient à son début." : " continue au-delà."));
  }
  if (seen.selfRepeating) {
    lines.emplace_back(
        "Le contenu se répète de lui-même : des mémoires de tailles différentes le liraient de "
        "la même façon.");
  }
  switch (outcome.verdict) {
    case IdentifyVerdict::OneType:
      lines.push_back("Mémoire identifiée : " + Types(outcome.types) +
                      (seen.uniform ? ", d'après les adresses qui répondent." : "."));
      break;
    case IdentifyVerdict::SeveralTypes:
      lines.push_back("Types possibles : " + Types(outcome.types) + ".");
      break;
    case IdentifyVerdict::NoType:
      lines.emplace_back("Aucun type de mémoire connu du programme ne se lit de cette façon.");
      break;
    case IdentifyVerdict::Undeterminable:
      lines.push_back(
          "Le type ne peut pas être déterminé par lecture ; d'après les adresses qui répondent : " +
          Types(outcome.types) + ".");
      break;
    case IdentifyVerdict::NothingAnswers:
    case IdentifyVerdict::NotStarted:
      break;
  }
  if (outcome.others != 0) {
    lines.push_back("D'autres composants répondent en " + DeviceBytes(outcome.others) +
                    " : le résultat décrit le bus, pas une seule mémoire.");
  } else if (outcome.inSitu && seen.answering != 0) {
    lines.emplace_back(
        "Sur une carte, d'autres composants d'adresse 1010xxx peuvent répondre : le résultat "
        "décrit alors le bus, pas une seule mémoire.");
  }
  std::string text;
  for (const std::string& line : lines)
    text += (text.empty() ? "" : "\n") + line;
  return text;
}

std::string SelectTypeQuestion(int32_t typeIndex) {
  return "Sélectionner le type " + std::string(kMemoryTypes[static_cast<size_t>(typeIndex)].name) +
         " ?";
}

}  // namespace keldar::messages
