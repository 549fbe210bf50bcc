// The command line of keldar-cli: subcommands, their options and their help texts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hw/linemap.h"
#include "i2c/catalogue.h"

namespace keldar::cli {

enum class Command { Read, Program, Compare, Convert, Ports, Identify };
enum class FileFormat { FromExtension, Binary, IntelHex };

// Changes to the reader's line map asked for on the command line, applied over the map the
// window saved (or over a preset).
struct LineMapOverrides {
  enum class Preset { None, Standard, InSitu } preset = Preset::None;
  std::optional<int> arrangement;
  std::optional<int> input;
  std::optional<int> accessTime;
  std::optional<std::vector<std::string>> complement;  // valim, scl, sda-out, sda-in
};

struct Options {
  Command command = Command::Read;
  std::string port;  // ports: the port to measure, empty for the listing alone
  int typeIndex = -1;
  std::string input;
  std::string output;
  FileFormat inputFormat = FileFormat::FromExtension;
  FileFormat outputFormat = FileFormat::FromExtension;
  int baseAddress = 0;
  bool byteMode = false;
  bool verify = true;  // program: read the memory back and compare it with the file
  bool list = false;
  LineMapOverrides lines;
  // read, program, compare: --from and --to as given, and the range they make once checked
  // against the type (empty: the whole memory).
  std::optional<uint32_t> from;
  std::optional<uint32_t> to;
  std::optional<AddressRange> range;
};

// Help: text goes to standard output and the program ends with success (--help, --version).
enum class ParseStatus { Ok, Help, UsageError };

struct ParseResult {
  ParseStatus status = ParseStatus::Ok;
  std::string text;  // the help text, or the usage error
};

// args excludes the program name.
[[nodiscard]] ParseResult ParseCommandLine(const std::vector<std::string>& args, Options& options);

// An address as the user writes it: decimal, or hexadecimal after "$" or "0x" ("$1F00",
// "0x1F00", "7936"); nothing for anything else, or a value above 32 bits.
[[nodiscard]] std::optional<uint32_t> ParseAddress(const std::string& text);

// The format a file is read or written in: the one asked for, else .hex is Intel HEX and any
// other name a binary image.
[[nodiscard]] FileFormat ResolveFormat(FileFormat asked, const std::string& path);

// Applies the overrides to map; false and a French message when a complement name is unknown.
[[nodiscard]] bool ApplyOverrides(const LineMapOverrides& overrides, LineMap& map,
                                  std::string& error);

}  // namespace keldar::cli
