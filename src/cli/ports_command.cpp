#include "cli/ports_command.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/reader_port.h"
#include "cli/saved_line_map.h"
#include "cli/user_settings.h"
#include "devices/device_sources.h"
#include "devices/port_probe.h"
#include "i2c/catalogue.h"
#include "messages/adapter_advice.h"
#include "messages/port_texts.h"
#include "settings/port_devices.h"

namespace keldar::cli {
namespace {

constexpr size_t kWidth = 100;

// The text cut into lines of the listing's width, each after the indent.
void Wrapped(std::ostream& out, const std::string& text, const std::string& indent) {
  std::string line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && indent.size() + line.size() + 1 + word.size() > kWidth) {
      out << indent << line << '\n';
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  if (!line.empty()) out << indent << line << '\n';
}

// What IdentifyDevice found; nothing stands behind a simulated reader.
std::string Describe(const std::optional<SerialDeviceInfo>& info) {
  return info ? messages::DeviceDescription(*info) : "lecteur simulé";
}

// The serial devices, or the I2C adapters, of the inventory.
void ListSome(const std::vector<SerialDeviceInfo>& devices, bool i2c, std::ostream& out) {
  bool none = true;
  for (const SerialDeviceInfo& device : devices) {
    if (device.i2c.has_value() != i2c) continue;
    none = false;
    out << "  " << device.path;
    if (!device.kernelName.empty() &&
        std::filesystem::path(device.path).filename() != device.kernelName) {
      out << " (" << device.kernelName << ')';
    }
    out << '\n';
    Wrapped(out, messages::DeviceDescription(device), "      ");
    Wrapped(out, messages::InUseText(device), "      ");
    for (const std::string& advice : messages::AdapterAdvice(device))
      Wrapped(out, advice, "      ");
  }
  if (none) out << "  aucun\n";
}

void List(const SettingsReader& settings, const SystemPaths& paths, Console& console) {
  std::ostream& out = console.out;
  out << "Ports du programme :\n";
  for (int port = 1; port <= 4; ++port) {
    const ResolvedPortDevice resolved = ResolvePortDeviceWithSource(port, settings);
    out << "  COM" << port << " : " << resolved.device << " ("
        << messages::PortSourceText(resolved.source, port) << ")\n";
    const std::optional<SerialDeviceInfo> info = IdentifyDevice(resolved.device, paths);
    Wrapped(out, Describe(info), "         ");
    if (info) Wrapped(out, messages::InUseText(*info), "         ");
  }
  const std::vector<SerialDeviceInfo> devices = ListDevices(paths);
  out << "\nPériphériques série de cette machine :\n";
  ListSome(devices, false, out);
  out << "\nAdaptateurs I2C de cette machine (i2c-dev) :\n";
  ListSome(devices, true, out);
  out << "\nAucun périphérique n'a été ouvert. keldar-cli ports --probe N mesure le port COMn.\n";
}

void PrintTally(std::ostream& out, const char* what, const CallTally& tally) {
  out << "  " << what;
  if (tally.calls == 0) {
    out << "non mesuré\n";
  } else {
    out << messages::CallCostText(tally.Mean()) << " (" << tally.calls << " appels)\n";
  }
}

int Probe(const Options& options, const SettingsReader& settings, const SystemPaths& paths,
          Console& console) {
  const std::string device = DeviceFor(options.port, settings);
  LineMap map = SavedLineMap(settings);
  std::string error;
  (void)ApplyOverrides(options.lines, map, error);  // checked when the line was parsed
  std::unique_ptr<ControlPort> port = OpenReaderPort(device, console);
  if (!port) return kExitFailed;

  // As the window: the reader unpowered, bus lines low, then the measures.
  const PortProbe probe = ProbePort(*port, map);
  port.reset();

  std::ostream& out = console.out;
  const std::optional<SerialDeviceInfo> info = IdentifyDevice(device, paths);
  out << "Port " << device << " : ";
  Wrapped(out, Describe(info), "");
  if (info) {
    for (const std::string& advice : messages::AdapterAdvice(*info))
      Wrapped(out, advice, "  ");
  }
  if (probe.failed) {
    console.err << messages::PortStoppedText(device) << '\n';
    return kExitFailed;
  }
  out << "Coût moyen d'un appel :\n";
  PrintTally(out, "lecture d'état      ", probe.status);
  PrintTally(out, "changement de TxD   ", probe.txd);
  PrintTally(out, "changement de DTR   ", probe.dtr);
  PrintTally(out, "changement de RTS   ", probe.rts);
  if (probe.streams) {
    // Line changes cost a byte of the stream, not a call: the estimates count bytes.
    Wrapped(out, messages::StreamRateText(probe.streamRate, probe.askedStreamRate), "");
    Wrapped(out, messages::kStreamedPortNote, "");
  }

  const PortCallCosts costs = probe.Costs();
  const OutputArrangement& row = map.Arrangement();
  out << "Câblage : Valim = " << LineName(row.valim) << " / SCL = " << LineName(row.scl)
      << " / SDA = " << LineName(row.sda) << ", entrée " << LineName(map.SdaInputLine())
      << ", temps d'accès " << map.accessTime << '\n';
  out << "Durées estimées :\n  Type      Lecture           Programmation en mode page\n";
  for (const MemoryType& type : kMemoryTypes) {
    const OperationTimes times = EstimateOperationTimes(type, map, costs);
    const std::string read = messages::DurationText(times.read);
    const std::string program = messages::DurationText(times.pageProgram);
    char line[96];
    std::snprintf(line, sizeof line, "  %-9s %-17s %s\n", std::string(type.name).c_str(),
                  read.c_str(), program.c_str());
    out << line;
  }
  return kExitOk;
}

}  // namespace

int Ports(const Options& options, Console& console) {
  const SystemPaths paths = SystemPaths::FromEnvironment();
  const std::unique_ptr<SettingsReader> settings = OpenUserSettings();
  if (!options.port.empty()) return Probe(options, *settings, paths, console);
  List(*settings, paths, console);
  return kExitOk;
}

}  // namespace keldar::cli
