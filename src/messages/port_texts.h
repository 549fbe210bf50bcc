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

// What does not apply when the port is an I2C adapter ("i2c:"), said where each is shown: the
// reader's wiring and the access time in the reader configuration window, the line check of an
// operation, the port test window.
inline constexpr char kI2cWiringNote[] =
    "Adaptateur I2C : le câblage du lecteur ne s'applique pas. L'adaptateur mène SCL et SDA "
    "lui-même et la mémoire est alimentée par la carte.";
inline constexpr char kI2cAccessTimeNote[] =
    "Adaptateur I2C : le temps d'accès ne s'applique pas, le bus va à l'horloge de l'adaptateur.";
inline constexpr char kI2cLineCheckNote[] =
    "Adaptateur I2C : pas de contrôle de la ligne SDA avant l'opération ; une mémoire absente se "
    "signale en ne répondant pas à son adresse.";
inline constexpr char kI2cPortTestNote[] =
    "Un adaptateur I2C ne laisse voir que des messages, pas ses lignes : le test du port ne "
    "s'applique pas.";

}  // namespace keldar::messages
