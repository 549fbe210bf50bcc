#include "messages/port_messages.h"

#include <array>
#include <cstdio>
#include <utility>

#include "messages/system_errors.h"

namespace keldar::messages {
namespace {

using Reason = PortRefusalReason;

constexpr std::array<std::pair<Reason, std::string_view>, 19> kSummaries{{
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
    {Reason::NoI2cDevNode, "Module i2c-dev absent"},
    {Reason::I2cAdapterUnknown, "Adaptateur I2C inconnu"},
    {Reason::SmbusHost, "Bus SMBus refusé"},
    {Reason::GraphicsBus, "Bus graphique refusé"},
    {Reason::NoI2cTransfers, "Adaptateur SMBus seul"},
    {Reason::AddressBound, "Adresse I2C occupée"},
    {Reason::PseudoI2cOnBus, "X24C01 impossible en I2C"},
    {Reason::NoI2cSupport, "I2C non géré"},
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

std::string Quoted(const std::string& name) {
  return "« " + name + " »";
}

std::string Hex(int address) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(address));
  return text;
}

// The reasons of an I2C adapter that name it in their own words; "" for the others.
std::string I2cText(const PortRefusal& refusal) {
  const std::string adapter = Quoted(refusal.adapter);
  switch (refusal.reason) {
    case Reason::SmbusHost:
      return "refusé : " + adapter +
             " est le bus SMBus de la carte mère ; il porte les EEPROM SPD des barrettes "
             "mémoire, et un PC dont l'une a été écrite peut ne plus démarrer";
    case Reason::GraphicsBus:
      return "refusé : " + adapter +
             " est un bus d'affichage de la carte graphique (DDC ou DisplayPort) ; l'EEPROM EDID "
             "de l'écran y répond en 0x50";
    case Reason::NoI2cDevNode:
      return adapter +
             " n'a pas de nœud dans /dev : le module i2c-dev n'est pas chargé (sudo modprobe "
             "i2c-dev ; ajoutez i2c-dev à /etc/modules pour chaque démarrage)";
    case Reason::NoI2cTransfers:
      return adapter +
             " ne fait que des transferts SMBus (I2C_FUNCS sans I2C_FUNC_I2C) : il ne sait pas "
             "lire une mémoire d'un seul tenant";
    case Reason::AddressBound:
      if (refusal.probed) {
        return "refusé : sur " + adapter + ", l'adresse " + Hex(refusal.address) +
               ", que l'identification interroge comme toutes celles de 0x50 à 0x57, est tenue "
               "par le pilote " +
               refusal.driver + " du noyau ; détachez-le (unbind dans /sys/bus/i2c/drivers/" +
               refusal.driver + ")";
      }
      return "refusé : sur " + adapter + ", l'adresse " + Hex(refusal.address) +
             ", où répond la mémoire choisie, est tenue par le pilote " + refusal.driver +
             " du noyau ; choisissez une autre adresse de base, ou détachez-le (unbind dans "
             "/sys/bus/i2c/drivers/" +
             refusal.driver + ")";
    default:
      return {};
  }
}

std::string ReasonText(const PortRefusal& refusal) {
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
    case Reason::I2cAdapterUnknown:
      return "sysfs ne décrit pas cet adaptateur : rien ne dit qu'il ne porte pas les EEPROM SPD "
             "des barrettes mémoire, il reste fermé";
    case Reason::PseudoI2cOnBus:
      return "la X24C01 (pseudo-I2C) ne peut pas passer par un adaptateur I2C : sans octet "
             "d'adresse de composant, elle répond à toutes les adresses du bus, sa lecture "
             "commence par l'octet 0x01 (l'adresse 0 de l'appel général, réservée), et "
             "l'adaptateur ne sait pas envoyer les neuf impulsions d'horloge qui la "
             "resynchronisent";
    case Reason::NoI2cSupport:
      return "les adaptateurs I2C (i2c:) passent par i2c-dev de Linux, que ce système n'a pas";
    default:
      break;
  }
  return OtherText(refusal);
}

}  // namespace

std::string PortRefusalText(const PortRefusal& refusal) {
  if (std::string text = I2cText(refusal); !text.empty()) return text;
  std::string text = ReasonText(refusal);
  // Every message about an adapter names it: a renumbered adapter shows at once.
  if (!refusal.adapter.empty()) text += " (" + Quoted(refusal.adapter) + ")";
  return text;
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
