#include "cli/ports_command.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "cli/reader_port.h"
#include "cli/saved_line_map.h"
#include "cli/user_settings.h"
#include "devices/device_sources.h"
#include "hw/line_driver.h"
#include "i2c/call_counts.h"
#include "i2c/catalogue.h"
#include "messages/adapter_advice.h"
#include "settings/port_devices.h"

namespace keldar::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kWidth = 100;
constexpr int kProbeCalls = 200;                 // per measure, at most
constexpr std::chrono::seconds kProbeBudget{3};  // per measure, at most
constexpr std::array<const char*, 4> kInputNames{"CTS", "DSR", "RING", "DCD"};

// A decimal comma, as the French write numbers.
std::string Number(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  std::string result = text;
  for (char& c : result) {
    if (c == '.') c = ',';
  }
  return result;
}

std::string Duration(double seconds) {
  if (seconds < 60) return Number(seconds < 10 ? "%.2f s" : "%.1f s", seconds);
  const auto whole = static_cast<long>(seconds + 0.5);
  char text[32];
  if (whole < 3600) {
    std::snprintf(text, sizeof text, "%ld min %02ld s", whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld h %02ld min", whole / 3600, whole % 3600 / 60);
  }
  return text;
}

std::string CallCost(double seconds) {
  return seconds < 1e-3 ? Number("%.1f µs", seconds * 1e6) : Number("%.2f ms", seconds * 1e3);
}

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

std::string SourceText(PortDeviceSource source, int port) {
  switch (source) {
    case PortDeviceSource::Environment:
      return "variable KELDAR_COM" + std::to_string(port);
    case PortDeviceSource::Settings:
      return "réglage Ports/COM" + std::to_string(port);
    case PortDeviceSource::Default:
      break;
  }
  return "par défaut";
}

void List(const SettingsReader& settings, const SystemPaths& paths, Console& console) {
  std::ostream& out = console.out;
  out << "Ports du programme :\n";
  for (int port = 1; port <= 4; ++port) {
    const ResolvedPortDevice resolved = ResolvePortDeviceWithSource(port, settings);
    out << "  COM" << port << " : " << resolved.device << " (" << SourceText(resolved.source, port)
        << ")\n";
    Wrapped(out, Describe(IdentifyDevice(resolved.device, paths)), "         ");
  }
  out << "\nPériphériques série de cette machine :\n";
  const std::vector<SerialDeviceInfo> devices = ListDevices(paths);
  if (devices.empty()) out << "  aucun\n";
  for (const SerialDeviceInfo& device : devices) {
    out << "  " << device.path;
    if (!device.kernelName.empty() &&
        std::filesystem::path(device.path).filename() != device.kernelName) {
      out << " (" << device.kernelName << ')';
    }
    out << '\n';
    Wrapped(out, messages::DeviceDescription(device), "      ");
    for (const std::string& advice : messages::AdapterAdvice(device))
      Wrapped(out, advice, "      ");
  }
  out << "\nAucun périphérique n'a été ouvert. keldar-cli ports --probe N mesure le port COMn.\n";
}

// Passes every call on and times it: what each physical line change and each status read costs
// on this device.
class TimingPort final : public ControlPort {
 public:
  struct Tally {
    uint64_t calls = 0;
    double seconds = 0;
    [[nodiscard]] double Mean() const { return calls == 0 ? 0 : seconds / double(calls); }
  };

  explicit TimingPort(ControlPort& port) : port_(port) {}

  bool EscapeCommFunction(int32_t code) override {
    const Clock::time_point start = Clock::now();
    const bool ok = port_.EscapeCommFunction(code);
    Add(code == SETBREAK || code == CLRBREAK ? txd
        : code == SETDTR || code == CLRDTR   ? dtr
                                             : rts,
        start);
    return ok;
  }
  bool GetCommModemStatus(uint32_t& value) override {
    const Clock::time_point start = Clock::now();
    const bool ok = port_.GetCommModemStatus(value);
    Add(status, start);
    return ok;
  }
  void Sleep(uint32_t milliseconds) override { port_.Sleep(milliseconds); }

  Tally txd, dtr, rts, status;

 private:
  static void Add(Tally& tally, Clock::time_point start) {
    ++tally.calls;
    tally.seconds += std::chrono::duration<double>(Clock::now() - start).count();
  }

  ControlPort& port_;
};

// Runs one step up to kProbeCalls times, or for kProbeBudget: a CH341 whose break is emulated
// takes a fifth of a second for each.
void Repeat(const std::function<void()>& step) {
  const Clock::time_point end = Clock::now() + kProbeBudget;
  for (int i = 0; i < kProbeCalls && Clock::now() < end; ++i)
    step();
}

void PrintTally(std::ostream& out, const char* what, const TimingPort::Tally& tally) {
  out << "  " << what;
  if (tally.calls == 0) {
    out << "non mesuré\n";
  } else {
    out << CallCost(tally.Mean()) << " (" << tally.calls << " appels)\n";
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

  // As the window: the reader unpowered, bus lines low. Then the measures, with no access-time
  // reads mixed in; the supply stays off, so the memory sees none of it.
  TimingPort timed(*port);
  LineMap measured = map;
  measured.accessTime = 0;
  LineDriver lines(measured, timed);
  lines.PowerOff();
  uint32_t status = 0;
  Repeat([&] { (void)timed.GetCommModemStatus(status); });
  Repeat([&] {
    lines.SetSclHigh();
    lines.SetSclLow();
  });
  Repeat([&] {
    lines.SetSdaHigh();
    lines.SetSdaLow();
  });
  lines.PowerOff();
  const bool failed = lines.PortFailed();
  const bool streams = port->DefersStatusReads();
  port.reset();

  std::ostream& out = console.out;
  const std::optional<SerialDeviceInfo> info = IdentifyDevice(device, paths);
  out << "Port " << device << " : ";
  Wrapped(out, Describe(info), "");
  if (info) {
    for (const std::string& advice : messages::AdapterAdvice(*info))
      Wrapped(out, advice, "  ");
  }
  if (failed) {
    console.err << "Le port " << device << " a cessé de répondre pendant la mesure.\n";
    return kExitFailed;
  }
  out << "Coût moyen d'un appel :\n";
  PrintTally(out, "lecture d'état      ", timed.status);
  PrintTally(out, "changement de TxD   ", timed.txd);
  PrintTally(out, "changement de DTR   ", timed.dtr);
  PrintTally(out, "changement de RTS   ", timed.rts);
  if (streams) {
    // Line changes cost a byte of the stream, not a call: a per-call estimate would be wrong.
    Wrapped(out,
            "Câble en bit-bang synchrone : chaque changement de ligne et chaque lecture d'état "
            "est un octet du flot ; seule une lecture dont la réponse est attendue coûte un "
            "aller-retour USB. Une lecture de 24C512 prend une dizaine de secondes, une "
            "programmation en mode page une vingtaine.",
            "");
    return kExitOk;
  }

  // A line not measured (Valim's, changed only by the power sequences) costs what the others do.
  const double modem =
      timed.dtr.calls + timed.rts.calls == 0
          ? timed.txd.Mean()
          : (timed.dtr.seconds + timed.rts.seconds) / double(timed.dtr.calls + timed.rts.calls);
  const auto mean = [&](const TimingPort::Tally& tally) {
    return tally.calls == 0 ? modem : tally.Mean();
  };
  const PortCallCosts costs{mean(timed.txd), mean(timed.dtr), mean(timed.rts), timed.status.Mean()};
  const OutputArrangement& row = kOutputArrangements[static_cast<size_t>(map.outputArrangement)];
  out << "Câblage : Valim = " << row.valimLine << " / SCL = " << row.sclLine
      << " / SDA = " << row.sdaLine << ", entrée " << kInputNames[static_cast<size_t>(map.sdaInput)]
      << ", temps d'accès " << map.accessTime << '\n';
  out << "Durées estimées :\n  Type      Lecture           Programmation en mode page\n";
  for (const MemoryType& type : kMemoryTypes) {
    const std::string read =
        Duration(EstimateSeconds(ReadCalls(type), map, costs, DatasheetWriteCycleSeconds(type)));
    const std::string program = Duration(
        EstimateSeconds(PageProgramCalls(type), map, costs, DatasheetWriteCycleSeconds(type)));
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
