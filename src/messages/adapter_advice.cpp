#include "messages/adapter_advice.h"

#include <cstdio>

#include "devices/i2c_access.h"
#include "messages/port_messages.h"
#include "messages/system_errors.h"

namespace keldar::messages {
namespace {

constexpr char kCh341Break[] =
    "Sur les puces sans registre de break, Linux (depuis 5.9) simule le break par un octet nul à "
    "46 bauds : TxD ne reste en break qu'environ 0,2 s puis revient au repos, et ne peut donc pas "
    "porter Valim. Choisissez une répartition avec Valim sur DTR ou RTS (lecteur câblé ainsi), ou "
    "un autre adaptateur.";
constexpr char kCdcAcmInputs[] =
    "CTS est toujours vu actif : CTS ne peut pas être l'entrée SDA. DSR, DCD et RING ne changent "
    "que lorsque l'adaptateur le signale.";

constexpr char kTestWindow[] = "la fenêtre « Test du port »";
constexpr char kFreshInputs[] =
    "Les entrées sont relues à chaque appel ; chaque break sur TxD attend d'abord la fin de "
    "l'émission (un transfert USB de plus).";

// The serial core's port types (PORT_8250 ... PORT_16550A), the ones PC ports report.
std::string UartName(int type) {
  switch (type) {
    case 1:
      return "8250";
    case 2:
      return "16450";
    case 3:
      return "16550";
    case 4:
      return "16550A";
    default:
      return "type " + std::to_string(type);
  }
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += ' ';
    text += part;
  }
  return text;
}

std::string CachedInputs(const char* until) {
  return std::string(
             "Les entrées sont lues dans un cache que l'adaptateur rafraîchit par "
             "interruption") +
         until + " : SDA est lu en retard. Augmentez le temps d'accès et vérifiez avec " +
         kTestWindow + ".";
}

// ", 0403:6001 FTDI FT232R USB UART, n° A50285BI": what a USB adapter says of itself.
std::string UsbIdentity(const SerialDeviceInfo& device) {
  std::string text;
  if (!device.vendorId.empty()) {
    text += ", " + device.vendorId + ":" + device.productId;
    const std::string name = Joined({device.manufacturer, device.product});
    if (!name.empty()) text += " " + name;
  }
  if (!device.serialNumber.empty()) text += ", n° " + device.serialNumber;
  return text;
}

// An "ftdi:" cable: who holds it, from its kernel driver.
std::string BitBangDescription(const SerialDeviceInfo& device) {
  std::string text = "câble FTDI en bit-bang synchrone" + UsbIdentity(device);
  if (device.driver.empty()) {
    return text +
           ", en service : son pilote noyau est détaché (keldar ou un autre programme le "
           "tient)";
  }
  text += device.lockHolder == 0 ? ", libre, pilote " : ", pilote ";
  text += device.driver;
  if (!device.kernelName.empty()) text += " (/dev/" + device.kernelName + ")";
  return text;
}

// An "i2c:" adapter: its name as sysfs gives it, so that a renumbered adapter shows.
std::string I2cDescription(const SerialDeviceInfo& device) {
  const I2cAdapterInfo& adapter = *device.i2c;
  std::string text = "adaptateur I2C « " + adapter.name + " »";
  if (!adapter.driver.empty()) text += ", pilote " + adapter.driver;
  if (!adapter.node) text += ", sans nœud i2c-dev";
  return text;
}

std::string BoundAddresses(const I2cAdapterInfo& adapter) {
  std::string list;
  for (const I2cClient& client : adapter.clients) {
    if (client.driver.empty()) continue;
    char address[8];
    std::snprintf(address, sizeof address, "0x%02X", static_cast<unsigned>(client.address));
    list += (list.empty() ? "" : ", ") + std::string(address) + " (" + client.driver + ")";
  }
  return list;
}

std::vector<std::string> I2cAdvice(const SerialDeviceInfo& device) {
  const I2cAdapterInfo& adapter = *device.i2c;
  if (const std::optional<PortRefusal> refusal = I2cAdapterRefusal(adapter))
    return {Sentence(PortRefusalText(*refusal))};
  std::vector<std::string> advice{
      "L'adaptateur mène le bus lui-même (i2c-dev) : le câblage du lecteur, le "
      "temps d'accès et le contrôle de la ligne SDA ne s'appliquent pas, et la mémoire est "
      "alimentée par la carte. La X24C01 (pseudo-I2C) n'y passe pas."};
  if (const std::string bound = BoundAddresses(adapter); !bound.empty()) {
    advice.push_back("Adresses tenues par un pilote du noyau : " + bound +
                     " ; une mémoire qui y répond est refusée.");
  }
  return advice;
}

}  // namespace

std::string DeviceDescription(const SerialDeviceInfo& device) {
  if (!device.exists) return "introuvable";
  if (device.i2c) return I2cDescription(device);
  if (device.bitBang) return BitBangDescription(device);
  std::string text;
  switch (device.bus) {
    case SerialBus::Native:
      text = "port série natif";
      break;
    case SerialBus::Usb:
      text = "adaptateur USB";
      break;
    case SerialBus::Unknown:
      text = "port de type inconnu";
      break;
  }
  if (!device.driver.empty()) text += ", pilote " + device.driver;
  if (device.bus == SerialBus::Usb) {
    text += UsbIdentity(device);
  } else if (device.uartType == 0) {
    text += ", aucun UART derrière ce port (port fantôme)";
  } else if (device.uartType > 0) {
    text += ", UART " + UartName(device.uartType);
  }
  return text;
}

std::vector<std::string> AdapterAdvice(const SerialDeviceInfo& device) {
  if (!device.exists) return {};
  const std::string usbCost =
      "Environ 1 à 2 ms par appel de port (davantage derrière un hub) : une lecture de 24C512 "
      "dure une demi-heure ou plus.";
  switch (device.family()) {
    case AdapterFamily::NativeUart:
      if (device.uartType == 0) {
        return {"Aucun UART ne répond : le programme refuse ce port (« indisponible »)."};
      }
      if (device.uartType < 0) {
        return {
            "Impossible de savoir sans l'ouvrir si un UART répond derrière ce port ; le "
            "programme le vérifie à l'ouverture."};
      }
      return {
          "Port natif : quelques microsecondes par appel, toutes les répartitions "
          "conviennent."};
    case AdapterFamily::Ftdi:
      return {usbCost, kFreshInputs,
              "Câble FTDI : le port « ftdi: » (voir keldar-cli ports et le README) le pilote en "
              "bit-bang synchrone, une lecture de 24C512 en une dizaine de secondes."};
    case AdapterFamily::FtdiBitBang:
      return {
          "Tout le bus passe en un flot d'octets : une lecture de 24C512 en une dizaine de "
          "secondes. Tant que keldar tient le câble, son /dev/ttyUSBn disparaît (pilote noyau "
          "détaché, rattaché à la fermeture).",
          "Chemin éprouvé contre un modèle du FT232R et des traces décodées, pas encore sur "
          "une vraie puce : en cas de doute, le même câble sert par son /dev/ttyUSBn."};
    case AdapterFamily::Cp210x:
      return {usbCost, kFreshInputs};
    case AdapterFamily::Ch341:
      return {usbCost, CachedInputs(""), kCh341Break};
    case AdapterFamily::Pl2303:
      return {usbCost, CachedInputs(" (elles valent 0 jusqu'à son premier message)")};
    case AdapterFamily::CdcAcm:
      return {usbCost, kCdcAcmInputs};
    case AdapterFamily::OtherUsb:
      return {usbCost, std::string("Pilote sans particularité connue : vérifiez les lignes avec ") +
                           kTestWindow + " avant une longue opération."};
    case AdapterFamily::I2cAdapter:
      return I2cAdvice(device);
    case AdapterFamily::Unknown:
      break;
  }
  return {};
}

std::string InUseText(const SerialDeviceInfo& device) {
  if (device.heldHere) return "ouvert par ce programme";
  if (device.lockHolder == 0) return {};
  return "occupé par le processus " + std::to_string(device.lockHolder) + " (verrou LCK.." +
         device.kernelName + ")";
}

std::string WiringLimitAdvice(WiringLimit limit) {
  switch (limit) {
    case WiringLimit::BreakCannotHoldValim:
      return kCh341Break;
    case WiringLimit::CtsAlwaysAsserted:
      return kCdcAcmInputs;
    case WiringLimit::None:
      break;
  }
  return {};
}

}  // namespace keldar::messages
