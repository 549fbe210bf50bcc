#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "cli/version.h"
#include "i2c/catalogue.h"

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
    "\n"
    "keldar-cli COMMANDE --help décrit les options de chaque commande ;\n"
    "keldar-cli --version affiche la version.\n"
    "Code de sortie : 0 réussite, 1 échec ou différence, 2 erreur d'utilisation,\n"
    "130 (Ctrl+C), 143 (SIGTERM) ou 129 (SIGHUP) arrêt demandé : l'opération\n"
    "s'arrête à un point sûr, jamais au milieu d'une page.\n";

constexpr char kPortHelp[] =
    "\nLecteur :\n"
    "  --port P            1 à 4 (COM1 à COM4, comme dans la fenêtre), un périphérique\n"
    "                      (/dev/ttyUSB0, COM5) ou un lecteur simulé (sim:24C16,...)\n"
    "  --type T            type de mémoire : 24C00 ... 24C512, X24C01\n"
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

std::string CommandHelp(Command command) {
  std::ostringstream help;
  switch (command) {
    case Command::Read:
      help << "Usage : keldar-cli read --port P --type T -o FICHIER [OPTIONS]\n"
              "Lit toute la mémoire et l'enregistre dans FICHIER.\n\n"
           << kFormatHelp << kPortHelp << kWiringHelp;
      break;
    case Command::Program:
      help << "Usage : keldar-cli program --port P --type T -i FICHIER [--byte-mode] [OPTIONS]\n"
              "Charge FICHIER et programme toute la mémoire, en mode page sauf --byte-mode\n"
              "(le mode page est imposé pour les 24C128, 24C256 et 24C512), puis relit la\n"
              "mémoire et la compare au fichier.\n\n"
              "  --no-verify         ne relit pas la mémoire après la programmation\n"
           << kFormatHelp << kPortHelp << kWiringHelp;
      break;
    case Command::Compare:
      help << "Usage : keldar-cli compare --port P --type T -i FICHIER [--list] [OPTIONS]\n"
              "Compare FICHIER avec la mémoire et donne le nombre d'octets différents ;\n"
              "--list donne aussi les plages d'adresses qui diffèrent.\n\n"
           << kFormatHelp << kPortHelp << kWiringHelp;
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

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args, Options& options) {
  if (args.empty()) return Usage("Commande manquante.");
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") return {ParseStatus::Help, kGeneralHelp};
  if (name == "--version") return {ParseStatus::Help, "keldar-cli " KELDAR_VERSION "\n"};
  if (name == "read") {
    options.command = Command::Read;
  } else if (name == "program") {
    options.command = Command::Program;
  } else if (name == "compare") {
    options.command = Command::Compare;
  } else if (name == "convert") {
    options.command = Command::Convert;
  } else if (name == "ports") {
    options.command = Command::Ports;
  } else {
    return Usage("Commande inconnue : « " + name + " ».");
  }
  const bool usesReader = options.command != Command::Convert;
  const bool ports = options.command == Command::Ports;

  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return {ParseStatus::Help, CommandHelp(options.command)};
    const auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    const bool takesValue = arg == "--port" || arg == "--type" || arg == "-i" || arg == "-o" ||
                            arg == "--format" || arg == "--in-format" || arg == "--out-format" ||
                            arg == "--base" || arg == "--arrangement" || arg == "--input" ||
                            arg == "--complement" || arg == "--access-time" || arg == "--probe";
    if (takesValue && !value(v)) return Usage("Valeur manquante après " + arg + ".");

    const bool fileOrMemory = arg == "--port" || arg == "--type" || arg == "--base" ||
                              arg == "-i" || arg == "-o" || arg.ends_with("format");
    if (ports && fileOrMemory) {
      return Usage("Option inconnue : " + arg);
    } else if (ports && arg == "--probe") {
      options.port = v;
    } else if (arg == "--type") {
      options.typeIndex = FindMemoryType(v);
      if (options.typeIndex < 0) return Usage("Type de mémoire inconnu : « " + v + " ».");
    } else if (arg == "-i") {
      options.input = v;
    } else if (arg == "-o") {
      options.output = v;
    } else if (arg == "--format" || arg == "--in-format" || arg == "--out-format") {
      const std::optional<FileFormat> format = ParseFormat(v);
      if (!format) return Usage("Format inconnu : « " + v + " » (bin ou hex).");
      const bool both = arg == "--format";
      if (options.command != Command::Convert && !both) return Usage("Option inconnue : " + arg);
      if (both || arg == "--in-format") options.inputFormat = *format;
      if (both || arg == "--out-format") options.outputFormat = *format;
    } else if (usesReader && arg == "--port") {
      options.port = v;
    } else if (usesReader && arg == "--base") {
      if (!ParseInt(v, 0, 7, options.baseAddress)) {
        return Usage("Adresse de base invalide : « " + v + " » (0 à 7).");
      }
    } else if (usesReader && arg == "--arrangement") {
      int n = 0;
      if (!ParseInt(v, 0, 5, n)) return Usage("Disposition invalide : « " + v + " » (0 à 5).");
      options.lines.arrangement = n;
    } else if (usesReader && arg == "--input") {
      options.lines.input = ParseInput(v);
      if (!options.lines.input) {
        return Usage("Entrée inconnue : « " + v + " » (cts, dsr, ring ou dcd).");
      }
    } else if (usesReader && arg == "--complement") {
      std::vector<std::string> names;
      std::stringstream list(v);
      for (std::string item; std::getline(list, item, ',');) {
        if (!item.empty()) names.push_back(item);
      }
      options.lines.complement = names;
    } else if (usesReader && arg == "--access-time") {
      int n = 0;
      if (!ParseInt(v, 0, kMaxAccessTime, n)) {
        return Usage("Temps d'accès invalide : « " + v + " » (0 à 15).");
      }
      options.lines.accessTime = n;
    } else if (usesReader && (arg == "--insitu" || arg == "--standard")) {
      options.lines.preset =
          arg == "--insitu" ? LineMapOverrides::Preset::InSitu : LineMapOverrides::Preset::Standard;
    } else if (options.command == Command::Program && arg == "--byte-mode") {
      options.byteMode = true;
    } else if (options.command == Command::Program && arg == "--no-verify") {
      options.verify = false;
    } else if (options.command == Command::Compare && arg == "--list") {
      options.list = true;
    } else {
      return Usage("Option inconnue : " + arg);
    }
  }

  std::string error;
  LineMap probe;
  if (!ApplyOverrides(options.lines, probe, error)) return Usage(error);
  if (ports) return {};
  if (options.typeIndex < 0) return Usage("Le type de mémoire (--type) est obligatoire.");
  if (usesReader && options.port.empty()) return Usage("Le port (--port) est obligatoire.");
  const bool needsInput = options.command != Command::Read;
  const bool needsOutput = options.command == Command::Read || options.command == Command::Convert;
  if (needsInput && options.input.empty())
    return Usage("Le fichier d'entrée (-i) est obligatoire.");
  if (needsOutput && options.output.empty()) {
    return Usage("Le fichier de sortie (-o) est obligatoire.");
  }
  return {};
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
