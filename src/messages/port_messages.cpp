#include "messages/port_messages.h"

#include <array>
#include <utility>

#include "messages/system_errors.h"

namespace keldar::messages {
namespace {

using Reason = PortRefusalReason;

constexpr std::array<std::pair<Reason, std::string_view>, 11> kSummaries{{
    {Reason::Other, "Erreur du port"},
    {Reason::Missing, "Port introuvable"},
    {Reason::Permission, "Accès au port refusé"},
    {Reason::Locked, "Port déjà utilisé"},
    {Reason::Held, "Port déjà utilisé"},
    {Reason::NoUart, "Port sans UART"},
    {Reason::NoFtdiCable, "Câble FTDI absent"},
    {Reason::NotFt232r, "Câble sans FT232R"},
    {Reason::UsbAccess, "Accès USB refusé"},
    {Reason::NoFtdiSupport, "FTDI non géré"},
    {Reason::BitBangClock, "Horloge FTDI trop rapide"},
}};

std::string PermissionText(const std::string& group) {
  // A device only root may open: joining root's group is no remedy.
  if (group == "root") {
    return "accès refusé : seul root peut l'ouvrir ; une règle udev peut le confier au groupe "
           "dialout (voir le README)";
  }
  return "accès refusé : ajoutez votre compte au groupe " + group + " : sudo usermod -aG " + group +
         " $USER, puis reconnectez-vous";
}

std::string OtherText(const PortRefusal& refusal) {
  if (!refusal.detail.empty()) return refusal.detail;
  if (refusal.error == 0 && refusal.systemCode != 0) {
    return "erreur système n° " + std::to_string(refusal.systemCode);
  }
  return ErrnoText(refusal.error);
}

}  // namespace

std::string PortRefusalText(const PortRefusal& refusal) {
  switch (refusal.reason) {
    case Reason::Missing:
      return "introuvable : l'adaptateur est-il branché ?";
    case Reason::Permission:
      return PermissionText(refusal.group);
    case Reason::Locked:
      return "utilisé par " + (refusal.program.empty() ? "un autre programme" : refusal.program) +
             " (processus " + std::to_string(refusal.pid) + ")";
    case Reason::Held:
      return "utilisé par un autre programme";
    case Reason::NoUart:
      return "aucun UART ne répond derrière ce port (port fantôme)";
    case Reason::NoFtdiCable:
      return "aucun câble FTDI branché ne correspond";
    case Reason::NotFt232r:
      return "ce câble FTDI n'est pas un FT232R, seul capable du bit-bang synchrone";
    case Reason::UsbAccess:
      return "accès USB refusé : une règle udev doit confier le câble au groupe plugdev (voir le "
             "README)";
    case Reason::NoFtdiSupport:
      return "ce programme a été construit sans libftdi1 : passez par le port série du câble";
    case Reason::BitBangClock:
      return "le câble cadence ses octets plus vite que demandé, même corrigé : le bus sortirait "
             "des temps de la mémoire";
    case Reason::Other:
      break;
  }
  return OtherText(refusal);
}

std::string_view PortRefusalSummary(PortRefusalReason reason) {
  for (const auto& [known, summary] : kSummaries) {
    if (known == reason) return summary;
  }
  return kSummaries[0].second;
}

std::vector<std::string_view> PortRefusalSummaries() {
  std::vector<std::string_view> summaries;
  for (const auto& entry : kSummaries)
    summaries.push_back(entry.second);
  return summaries;
}

}  // namespace keldar::messages
