#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <sstream>
#include <string_view>
#include <utility>

#include "cli/version.h"
#include "i2c/catalogue.h"
#include "messages/operation_messages.h"

namespace keldar::cli {

namespace {

constexpr char kGeneralHelp[] =
    "Usage : keldar-cli COMMANDE [OPTIONS]\n"
    "\n"
    "Commandes :\n"
    "  read      lit toute la mémoire et l'enregistre dans un fichier\n"
    "  program   charge un fichier et programme toute la mémoire\n"
    "  compare   compare un fichier avec la mémoire\n"
    "  convert   convertit un fichier entre binaire et Intel HEX\n"
    "  ports     liste les ports série sans les ouvrir, ou en mesure un (--probe)\n"
    "  identify  reconnaît le type de la mémoire, sans rien y écrire\n"
    "\n"
    "keldar-cli COMMANDE --help décrit les options de chaque commande ;\n"
    "keldar-cli --version affiche la version.\n"
    "Code de sortie : 0 réussite, 1 échec ou différence (identify : type incertain),\n"
    "2 erreur d'utilisation,\n"
    "130 (Ctrl+C), 143 (SIGTERM) ou 129 (SIGHUP) arrêt demandé : l'opération\n"
    "s'arrête à un point sûr, jamais au milieu d'une page.\n";

constexpr char kPortHelp[] =
    "\nLecteur :\n"
    "  --port P            1 à 4 (COM1 à COM4, comme dans la fenêtre), un périphérique\n"
    "                      (/dev/ttyUSB0, COM5), un adaptateur I2C de Linux (i2c:N)\n"
    "                      ou un lecteur simulé (sim:24C16,...)\n"
    "  --type T            type de mémoire : 24C00 ... 24C512, X24C01, 24M01,\n"
    "                      24LC1025, 24M02\n"
    "  --base N            adresse de base A2..A0, 0 à 7 (0 par défaut)\n";

constexpr char kWiringHelp[] =
    "  --standard          lecteur standard\n"
    "  --insitu            module de programmation in situ\n"
    "  --arrangement N     disposition des sorties, 0 à 5\n"
    "  --input L           entrée SDA : cts, dsr, ring ou dcd\n"
    "  --complement LISTE  signaux inversés parmi valim,scl,sda-out,sda-in\n"
    "  --access-time N     temps d'accès, 0 à 15\n"
    "Sans ces options, le câblage enregistré par la fenêtre du programme est utilisé.\n";

constexpr char kFormatHelp[] =
    "  --format F          bin ou hex (sinon : .hex est Intel HEX, tout autre nom binaire)\n";

constexpr char kRangeHelp[] =
    "  --from ADR          première adresse d'une plage (0 par défaut)\n"
    "  --to ADR            dernière adresse de la plage, incluse (la dernière de la\n"
    "                      mémoire par défaut) ; ADR est décimale, ou hexadécimale\n"
    "                      après $ ou 0x ('$1F00' entre apostrophes dans un shell)\n";

std::string CommandHelp(Command command) {
  std::ostringstream help;
  switch (command) {
    case Command::Read:
      help << "Usage : keldar-cli read --port P --type T -o FICHIER [OPTIONS]\n"
              "Lit toute la mémoire et l'enregistre dans FICHIER.\n"
              "Avec --from ou --to, ne lit que la plage : un fichier binaire la contient\n"
              "seule, un fichier Intel HEX la porte à ses adresses.\n\n"
           << kFormatHelp << kRangeHelp << kPortHelp << kWiringHelp;
      break;
    case Command::Program:
      help << "Usage : keldar-cli program --port P --type T -i FICHIER [--byte-mode] [OPTIONS]\n"
              "Charge FICHIER et programme toute la mémoire, en mode page sauf --byte-mode\n"
              "(le mode page est imposé au-delà de la 24C64), puis relit la\n"
              "mémoire et la compare au fichier.\n"
              "Avec --from ou --to, ne programme et ne relit que la plage, sans toucher au\n"
              "reste de la mémoire : un fichier binaire contient la plage seule ; d'un\n"
              "fichier Intel HEX, seuls les octets de la plage sont pris.\n\n"
              "  --no-verify         ne relit pas la mémoire après la programmation\n"
           << kFormatHelp << kRangeHelp << kPortHelp << kWiringHelp;
      break;
    case Command::Compare:
      help << "Usage : keldar-cli compare --port P --type T -i FICHIER [--list] [OPTIONS]\n"
              "Compare FICHIER avec la mémoire et donne le nombre d'octets différents ;\n"
              "--list donne aussi les plages d'adresses qui diffèrent.\n"
              "Avec --from ou --to, ne compare que la plage : un fichier binaire la\n"
              "contient seule ; d'un fichier Intel HEX, seuls les octets de la plage sont\n"
              "pris.\n\n"
           << kFormatHelp << kRangeHelp << kPortHelp << kWiringHelp;
      break;
    case Command::Ports:
      help << "Usage : keldar-cli ports [--probe P] [OPTIONS]\n"
              "Liste COM1 à COM4 et les périphériques série de la machine, sans en ouvrir\n"
              "aucun, avec ce que chaque adaptateur permet.\n\n"
              "  --probe P           ouvre le port P comme la fenêtre (1 à 4, un périphérique\n"
              "                      ou sim:...), mesure une lecture d'état et un changement\n"
              "                      de ligne, puis estime la durée d'une lecture et d'une\n"
              "                      programmation en mode page de chaque type de mémoire\n"
              "\nCâblage du lecteur pour la mesure et les estimations :\n"
           << kWiringHelp;
      break;
    case Command::Identify:
      help << "Usage : keldar-cli identify --port P [--base N] [OPTIONS]\n"
              "Reconnaît le type de la mémoire par lectures seules, sans rien y écrire : les\n"
              "adresses qui répondent, la taille de l'adresse de mot, où le contenu se répète.\n"
              "Donne le nom du type sur la sortie standard (code 0) quand un seul convient ;\n"
              "plusieurs types, aucun, ou une mémoire vierge donnent le code 1. Ce qui a été\n"
              "vu s'écrit sur la sortie d'erreur.\n\n"
              "Lecteur :\n"
              "  --port P            1 à 4 (COM1 à COM4, comme dans la fenêtre), un périphérique\n"
              "                      (/dev/ttyUSB0, COM5) ou un lecteur simulé (sim:24C16,...)\n"
              "  --base N            adresse de base A2..A0 de la mémoire à identifier, 0 à 7\n"
              "                      (0 par défaut)\n"
           << kWiringHelp;
      break;
    case Command::Convert:
      help << "Usage : keldar-cli convert -i ENTREE -o SORTIE --type T [OPTIONS]\n"
              "Convertit entre binaire et Intel HEX sur la capacité du type T.\n\n"
              "  --format F          bin ou hex, pour les deux fichiers\n"
              "  --in-format F       format de ENTREE\n"
              "  --out-format F      format de SORTIE\n";
      break;
  }
  return help.str();
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
  int parsed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (ec != std::errc() || ptr != end || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

std::optional<FileFormat> ParseFormat(const std::string& text) {
  if (text == "bin") return FileFormat::Binary;
  if (text == "hex") return FileFormat::IntelHex;
  return std::nullopt;
}

std::optional<int> ParseInput(const std::string& text) {
  static constexpr const char* kInputs[] = {"cts", "dsr", "ring", "dcd"};
  for (int i = 0; i < 4; ++i) {
    if (text == kInputs[i]) return i;
  }
  return std::nullopt;
}

ParseResult Usage(const std::string& message) {
  return {ParseStatus::UsageError, message + "\nkeldar-cli --help pour l'aide.\n"};
}

constexpr std::array<std::pair<std::string_view, Command>, 6> kCommands{{
    {"read", Command::Read},
    {"program", Command::Program},
    {"compare", Command::Compare},
    {"convert", Command::Convert},
    {"ports", Command::Ports},
    {"identify", Command::Identify},
}};

// The commands that take an option, one bit each, in the order of Command.
constexpr unsigned Bit(Command command) {
  return 1U << static_cast<unsigned>(command);
}
constexpr unsigned kRead = Bit(Command::Read);
constexpr unsigned kProgram = Bit(Command::Program);
constexpr unsigned kCompare = Bit(Command::Compare);
constexpr unsigned kConvert = Bit(Command::Convert);
constexpr unsigned kPorts = Bit(Command::Ports);
constexpr unsigned kIdentify = Bit(Command::Identify);
constexpr unsigned kMemory = kRead | kProgram | kCompare;  // a reader with a memory on it
constexpr unsigned kFiles = kMemory | kConvert;
constexpr unsigned kReader = kMemory | kIdentify;  // a reader, any memory on it
constexpr unsigned kWiring = kReader | kPorts;
constexpr unsigned kAll = kFiles | kPorts | kIdentify;

// Takes an option's value (a flag's is "true") into the options; the usage error, if refused.
using Error = std::optional<std::string>;
using Apply = Error (*)(const std::string& value, Options& options);

Error TakeFormat(const std::string& value, FileFormat& first, FileFormat* second = nullptr) {
  const std::optional<FileFormat> format = ParseFormat(value);
  if (!format) return "Format inconnu : « " + value + " » (bin ou hex).";
  first = *format;
  if (second != nullptr) *second = *format;
  return {};
}

Error TakeNumber(const std::string& value, int high, std::optional<int>& target, const char* what) {
  int n = 0;
  if (!ParseInt(value, 0, high, n)) {
    return std::string(what) + " invalide : « " + value + " » (0 à " + std::to_string(high) + ").";
  }
  target = n;
  return {};
}

template <std::optional<uint32_t> Options::*kField>
Error TakeAddress(const std::string& value, Options& options) {
  options.*kField = ParseAddress(value);
  if (options.*kField) return {};
  return "Adresse invalide : « " + value +
         " » (décimale, ou hexadécimale après $ ou 0x ; '$1F00' entre apostrophes dans un shell).";
}

template <std::string Options::*kField>
Error TakeText(const std::string& value, Options& options) {
  options.*kField = value;
  return {};
}

template <bool Options::*kField, bool kValue>
Error SetFlag(const std::string&, Options& options) {
  options.*kField = kValue;
  return {};
}

struct OptionSpec {
  const char* name;  // as the parser declares it
  unsigned commands;
  bool takesValue;
  Apply apply;  // nullptr: the command's help
};

// Every option of every command, once.
constexpr OptionSpec kOptions[] = {
    {"-h,--help", kAll, false, nullptr},
    {"--port", kReader, true, TakeText<&Options::port>},
    {"--probe", kPorts, true, TakeText<&Options::port>},
    {"--type", kFiles, true,
     [](const std::string& v, Options& o) -> Error {
       o.typeIndex = FindMemoryType(v);
       if (o.typeIndex < 0) return "Type de mémoire inconnu : « " + v + " ».";
       return {};
     }},
    {"-i", kFiles, true, TakeText<&Options::input>},
    {"-o", kFiles, true, TakeText<&Options::output>},
    {"--format", kFiles, true,
     [](const std::string& v, Options& o) {
       return TakeFormat(v, o.inputFormat, &o.outputFormat);
     }},
    {"--in-format", kConvert, true,
     [](const std::string& v, Options& o) { return TakeFormat(v, o.inputFormat); }},
    {"--out-format", kConvert, true,
     [](const std::string& v, Options& o) { return TakeFormat(v, o.outputFormat); }},
    {"--base", kReader, true,
     [](const std::string& v, Options& o) -> Error {
       if (ParseInt(v, 0, 7, o.baseAddress)) return {};
       return "Adresse de base invalide : « " + v + " » (0 à 7).";
     }},
    {"--standard", kWiring, false,
     [](const std::string&, Options& o) -> Error {
       o.lines.preset = LineMapOverrides::Preset::Standard;
       return {};
     }},
    {"--insitu", kWiring, false,
     [](const std::string&, Options& o) -> Error {
       o.lines.preset = LineMapOverrides::Preset::InSitu;
       return {};
     }},
    {"--arrangement", kWiring, true,
     [](const std::string& v, Options& o) {
       return TakeNumber(v, 5, o.lines.arrangement, "Disposition");
     }},
    {"--input", kWiring, true,
     [](const std::string& v, Options& o) -> Error {
       o.lines.input = ParseInput(v);
       if (o.lines.input) return {};
       return "Entrée inconnue : « " + v + " » (cts, dsr, ring ou dcd).";
     }},
    {"--complement", kWiring, true,
     [](const std::string& v, Options& o) -> Error {
       std::vector<std::string> names;
       std::stringstream list(v);
       for (std::string item; std::getline(list, item, ',');) {
         if (!item.empty()) names.push_back(item);
       }
       o.lines.complement = names;
       return {};
     }},
    {"--access-time", kWiring, true,
     [](const std::string& v, Options& o) {
       return TakeNumber(v, kMaxAccessTime, o.lines.accessTime, "Temps d'accès");
     }},
    {"--byte-mode", kProgram, false, SetFlag<&Options::byteMode, true>},
    {"--no-verify", kProgram, false, SetFlag<&Options::verify, false>},
    {"--list", kCompare, false, SetFlag<&Options::list, true>},
    {"--from", kMemory, true, TakeAddress<&Options::from>},
    {"--to", kMemory, true, TakeAddress<&Options::to>},
};

// The range of --from and --to on the selected type; the usage error when it does not fit.
Error TakeRange(Options& options) {
  if (!options.from && !options.to) return {};
  const MemoryType& type = kMemoryTypes[static_cast<size_t>(options.typeIndex)];
  const AddressRange range{options.from.value_or(0), options.to.value_or(type.capacity - 1)};
  const std::pair<const char*, uint32_t> ends[] = {{"--from", range.first}, {"--to", range.last}};
  for (const auto& [name, address] : ends) {
    if (address < type.capacity) continue;
    return std::string("Adresse hors de la mémoire : ") + name + " " +
           messages::HexAddress(address) + ", la " + std::string(type.name) + " va de " +
           messages::HexAddress(0) + " à " + messages::HexAddress(type.capacity - 1) + ".";
  }
  if (range.first > range.last) {
    return "Plage vide : --from " + messages::HexAddress(range.first) + " est après --to " +
           messages::HexAddress(range.last) + ".";
  }
  options.range = range;
  return {};
}

// Reads the options of one command with CLI11, then takes their values in the order they were
// given, so that the first refused one is the one reported. --help stops the reading: what
// follows it is not looked at, what comes before it is.
std::optional<ParseResult> ParseOptions(const std::vector<std::string>& args, Options& options) {
  CLI::App parser("", "keldar-cli " + args[0]);
  parser.set_help_flag();  // the commands' help is ours
  parser.allow_extras();
  parser.allow_windows_style_options(false);  // "/dev/..." is never an option
  std::vector<std::pair<const CLI::Option*, const OptionSpec*>> declared;
  for (const OptionSpec& spec : kOptions) {
    if ((spec.commands & Bit(options.command)) == 0) continue;
    CLI::Option* option =
        spec.takesValue ? parser.add_option(spec.name) : parser.add_flag(spec.name);
    option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    if (spec.apply == nullptr) {
      option->trigger_on_parse()->each([](const std::string&) { throw CLI::CallForHelp(); });
    }
    declared.emplace_back(option, &spec);
  }
  // CLI11 takes them last first. It reads --port=P itself; -o=FILE is made -o FILE rather than
  // the file "=FILE", and --port= an empty value rather than a wait for the next argument.
  std::vector<std::string> reversed;
  for (auto arg = args.rbegin(); arg != args.rend() - 1; ++arg) {
    const bool shortForm = arg->size() >= 3 && (*arg)[0] == '-' && (*arg)[2] == '=';
    const bool emptyLong = arg->starts_with("--") && arg->ends_with('=');
    if (shortForm || emptyLong) {
      const size_t equals = arg->find('=');
      reversed.push_back(arg->substr(equals + 1));
      reversed.push_back(arg->substr(0, equals));
    } else {
      reversed.push_back(*arg);
    }
  }
  try {
    parser.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    // Taken below, after the options before it.
  } catch (const CLI::ParseError&) {
    // The other way to stop it: an option that takes a value came last, without one.
    return Usage("Valeur manquante après " + args.back() + ".");
  }
  if (const std::vector<std::string> unknown = parser.remaining(); !unknown.empty()) {
    return Usage("Option inconnue : " + unknown.front());
  }
  std::map<const CLI::Option*, size_t> taken;
  for (const CLI::Option* option : parser.parse_order()) {
    const OptionSpec& spec = *std::find_if(declared.begin(), declared.end(), [&](const auto& d) {
                                return d.first == option;
                              })->second;
    if (spec.apply == nullptr) return ParseResult{ParseStatus::Help, CommandHelp(options.command)};
    const std::string& value = option->results().at(taken[option]++);
    if (!spec.takesValue && value != "true") {
      return Usage("Option inconnue : " + option->get_name() + "=" + value);
    }
    if (const Error error = spec.apply(value, options)) return Usage(*error);
  }
  return std::nullopt;
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args, Options& options) {
  if (args.empty()) return Usage("Commande manquante.");
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") return {ParseStatus::Help, kGeneralHelp};
  if (name == "--version") return {ParseStatus::Help, "keldar-cli " KELDAR_VERSION "\n"};
  const auto command = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const auto& known) { return known.first == name; });
  if (command == kCommands.end()) return Usage("Commande inconnue : « " + name + " ».");
  options.command = command->second;
  if (std::optional<ParseResult> stop = ParseOptions(args, options)) return *stop;

  const bool usesReader = options.command != Command::Convert;
  std::string error;
  LineMap probe;
  if (!ApplyOverrides(options.lines, probe, error)) return Usage(error);
  if (options.command == Command::Ports) return {};
  if (options.command == Command::Identify) {
    return options.port.empty() ? Usage("Le port (--port) est obligatoire.") : ParseResult{};
  }
  if (options.typeIndex < 0) return Usage("Le type de mémoire (--type) est obligatoire.");
  if (usesReader && options.port.empty()) return Usage("Le port (--port) est obligatoire.");
  const bool needsInput = options.command != Command::Read;
  const bool needsOutput = options.command == Command::Read || options.command == Command::Convert;
  if (needsInput && options.input.empty())
    return Usage("Le fichier d'entrée (-i) est obligatoire.");
  if (needsOutput && options.output.empty()) {
    return Usage("Le fichier de sortie (-o) est obligatoire.");
  }
  if (const Error error = TakeRange(options)) return Usage(*error);
  return {};
}

std::optional<uint32_t> ParseAddress(const std::string& text) {
  std::string_view digits = text;
  int base = 10;
  if (digits.starts_with('$')) {
    digits.remove_prefix(1);
    base = 16;
  } else if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
    base = 16;
  } else if (digits.size() > 1 && digits.front() == '0') {
    // Not read as decimal: a shell makes "00" of an unquoted $100, having taken $1 for its own.
    return std::nullopt;
  }
  uint32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
  if (ec != std::errc() || ptr != end || digits.empty()) return std::nullopt;
  return value;
}

FileFormat ResolveFormat(FileFormat asked, const std::string& path) {
  if (asked != FileFormat::FromExtension) return asked;
  std::string extension;
  if (const size_t dot = path.find_last_of('.');
      dot != std::string::npos && path.find('/', dot) == std::string::npos) {
    extension = path.substr(dot);
  }
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".hex" ? FileFormat::IntelHex : FileFormat::Binary;
}

bool ApplyOverrides(const LineMapOverrides& overrides, LineMap& map, std::string& error) {
  if (overrides.preset == LineMapOverrides::Preset::Standard) map.ApplyStandardPreset();
  if (overrides.preset == LineMapOverrides::Preset::InSitu) map.ApplyInSituPreset();
  if (overrides.arrangement) map.SetOutputArrangement(*overrides.arrangement);
  if (overrides.input) map.SetSdaInput(*overrides.input);
  if (overrides.accessTime) map.accessTime = *overrides.accessTime;
  if (overrides.complement) {
    map.complementValim = map.complementScl = map.complementSdaOut = map.complementSdaIn = false;
    for (const std::string& name : *overrides.complement) {
      if (name == "valim") {
        map.complementValim = true;
      } else if (name == "scl") {
        map.complementScl = true;
      } else if (name == "sda-out") {
        map.complementSdaOut = true;
      } else if (name == "sda-in") {
        map.complementSdaIn = true;
      } else {
        error =
            "Signal inconnu dans --complement : « " + name + " » (valim, scl, sda-out, sda-in).";
        return false;
      }
    }
  }
  return true;
}

}  // namespace keldar::cli
