// The French texts of a port number's device and of a port's measure, shared by the window and
// the CLI.
#pragma once

#include <string>

#include "settings/port_devices.h"

namespace keldar::messages {

// Where COMn's device comes from: "variable KELDAR_COM1", "réglage Ports/COM1", "par défaut".
[[nodiscard]] std::string PortSourceText(PortDeviceSource source, int port);

// "4,25 s", "12,5 s", "3 min 07 s", "1 h 02 min".
[[nodiscard]] std::string DurationText(double seconds);

// One port call's cost: "3,2 µs", "1,05 ms".
[[nodiscard]] std::string CallCostText(double seconds);

// "Le port /dev/ttyUSB0 a cessé de répondre pendant la mesure."
[[nodiscard]] std::string PortStoppedText(const std::string& device);

// A bit-bang cable's stream at opening: "Débit du flot mesuré à l'ouverture : 127 800 octets/s
// pour 200 000 demandés.", and why when it is clearly lower.
[[nodiscard]] std::string StreamRateText(uint32_t measured, uint32_t asked);

// What the costs of a cable in synchronous bit-bang mode mean.
inline constexpr char kStreamedPortNote[] =
    "Câble en bit-bang synchrone : chaque changement de ligne et chaque lecture d'état est un "
    "octet du flot, au débit mesuré ; seule une lecture dont la réponse est attendue coûte un "
    "aller-retour USB.";

}  // namespace keldar::messages
