#include "cli/cli_commands.h"

#include <memory>
#include <string>
#include <vector>

#include "cli/ports_command.h"
#include "cli/progress_meter.h"
#include "cli/reader_port.h"
#include "cli/saved_line_map.h"
#include "cli/user_settings.h"
#include "data/binary_image.h"
#include "data/buffer.h"
#include "data/file_system.h"
#include "data/intelhex.h"
#include "hw/line_driver.h"
#include "i2c/operations.h"
#include "messages/file_messages.h"
#include "messages/operation_messages.h"

namespace keldar::cli {

namespace {

constexpr char kSaveFailed[] = "L'enregistrement n'a pas pu être effectué";
constexpr char kEmptyFile[] = "Le fichier ne contient aucun octet ! ";

// The window's message, and why in parentheses when the system said.
std::string WithReason(std::string_view text, const FileError& error) {
  std::string line(text);
  if (error.problem == FileProblem::None) return line;
  while (line.ends_with(' '))
    line.pop_back();
  return line + " (" + messages::FileErrorText(error) + ")";
}

// "in.hex : 2048 octets chargés, de $0000 à $07FF", so that a user sees what the file held
// before it is programmed or compared.
void ReportLoaded(const std::string& path, uint32_t count, IntelHexRange range, Console& console) {
  console.err << path << " : " << count << (count == 1 ? " octet chargé" : " octets chargés")
              << ", de " << messages::HexAddress(range.first) << " à "
              << messages::HexAddress(range.last) << '\n';
}

// Loads a whole file as the window does, over a buffer of $FF (the bytes a file does not cover);
// false after printing why. A file with a fault is refused as a whole here, and so is one that
// holds no data byte: a script must never program half an image, nor a blank one in its stead.
bool LoadFile(const std::string& path, FileFormat asked, Buffer& buffer, Console& console) {
  buffer.fill(0xFF);
  if (ResolveFormat(asked, path) == FileFormat::IntelHex) {
    const IntelHexResult result = ReadIntelHex(PathFromUtf8(path), buffer, kBufferBytes);
    if (!result.opened()) {
      // A missing file needs no second word.
      const std::string text = "Le fichier " + path + " est introuvable !";
      console.err << (result.file.problem == FileProblem::Missing ? text
                                                                  : WithReason(text, result.file))
                  << '\n';
      return false;
    }
    if (result.code != IntelHexCode::Ok) {
      console.err << path << " : " << IntelHexMessage(result.code) << '\n';
      return false;
    }
    if (!result.copied) {
      console.err << path << " : " << kEmptyFile << '\n';
      return false;
    }
    ReportLoaded(path, result.loadedBytes, *result.copied, console);
    return true;
  }
  const BinaryLoad load = LoadBinaryImage(PathFromUtf8(path), buffer);
  const uint32_t count = load.count;
  if (count < 1) {
    console.err << path << " : " << WithReason(kEmptyFile, load.error) << '\n';
    return false;
  }
  ReportLoaded(path, count, {0, count - 1}, console);
  return true;
}

bool SaveFile(const std::string& path, FileFormat asked, const Buffer& buffer, uint32_t capacity,
              Console& console) {
  const SaveOutcome result = ResolveFormat(asked, path) == FileFormat::IntelHex
                                 ? WriteIntelHex(PathFromUtf8(path), buffer, capacity)
                                 : SaveBinaryImage(PathFromUtf8(path), buffer, capacity);
  if (result != SaveResult::Ok) {
    console.err << path << " : " << WithReason(kSaveFailed, result.error) << '\n';
    return false;
  }
  return true;
}

// The reader, the line map and the selected memory of one operation.
struct Session {
  std::unique_ptr<ControlPort> port;
  LineMap map;
  CurrentMemory memory;
};

bool OpenSession(const Options& options, Session& session, Console& console) {
  const std::unique_ptr<SettingsReader> settings = OpenUserSettings();
  session.port = OpenReaderPort(DeviceFor(options.port, *settings), console);
  if (!session.port) return false;
  std::string error;
  session.map = SavedLineMap(*settings);
  if (!ApplyOverrides(options.lines, session.map, error)) {
    console.err << error << '\n';
    return false;
  }
  session.memory.Select(options.typeIndex);
  session.memory.baseAddress = options.baseAddress;
  session.memory.pageMode = !options.byteMode;
  return true;
}

int Read(const Options& options, Console& console) {
  Session session;
  if (!OpenSession(options, session, console)) return kExitFailed;
  const uint32_t capacity = session.memory.capacity;
  Buffer buffer;
  buffer.fill(0xFF);
  LineDriver lines(session.map, *session.port);
  ProgressMeter meter(console.err, console.progress, "Lecture", capacity);
  const ReadOutcome outcome =
      ReadMemory(lines, session.memory, buffer, [&](uint32_t i) { meter.Update(i + 1); });
  meter.Finish();
  if (!outcome.succeeded()) {
    console.err << messages::kReadFailed;
    return kExitFailed;
  }
  if (!SaveFile(options.output, options.outputFormat, buffer, capacity, console)) {
    return kExitFailed;
  }
  console.out << "Lecture terminée : " << capacity << " octets enregistrés dans " << options.output
              << '\n';
  return kExitOk;
}

int Program(const Options& options, Console& console) {
  Buffer buffer;
  if (!LoadFile(options.input, options.inputFormat, buffer, console)) return kExitFailed;
  Session session;
  if (!OpenSession(options, session, console)) return kExitFailed;
  LineDriver lines(session.map, *session.port);
  ProgressMeter meter(console.err, console.progress, "Programmation", session.memory.capacity);
  const ProgramOutcome outcome =
      ProgramMemory(lines, session.memory, buffer, [&](uint32_t a) { meter.Update(a); });
  if (outcome.succeeded()) meter.Update(session.memory.capacity);
  meter.Finish();
  if (!outcome.succeeded()) {
    console.err << messages::ProgramMessage(outcome) << '\n';
    return kExitFailed;
  }
  if (options.verify) {
    // A memory that acknowledged everything may still hold something else (write protection,
    // a smaller page than its type's): success is what reads back.
    const uint32_t capacity = session.memory.capacity;
    std::vector<uint8_t> scratch(capacity);
    ProgressMeter check(console.err, console.progress, "Vérification", capacity);
    const CompareOutcome verify = CompareMemory(lines, session.memory, buffer, scratch,
                                                [&](uint32_t i) { check.Update(i + 1); });
    check.Finish();
    if (!verify.same()) {
      console.err << messages::VerifyMessage(verify, capacity) << '\n';
      return kExitFailed;
    }
  }
  console.out << messages::kProgramSucceeded << '\n';
  return kExitOk;
}

// Address ranges where the two areas differ, as "$0010-$001F" (one address: "$0010").
std::vector<std::string> DifferingRanges(const Buffer& buffer, const std::vector<uint8_t>& memory) {
  std::vector<std::string> ranges;
  const auto size = static_cast<uint32_t>(memory.size());
  for (uint32_t a = 0; a < size;) {
    if (buffer[a] == memory[a]) {
      ++a;
      continue;
    }
    const uint32_t first = a;
    while (a < size && buffer[a] != memory[a])
      ++a;
    ranges.push_back(a - 1 == first
                         ? messages::HexAddress(first)
                         : messages::HexAddress(first) + "-" + messages::HexAddress(a - 1));
  }
  return ranges;
}

int Compare(const Options& options, Console& console) {
  Buffer buffer;
  if (!LoadFile(options.input, options.inputFormat, buffer, console)) return kExitFailed;
  Session session;
  if (!OpenSession(options, session, console)) return kExitFailed;
  const uint32_t capacity = session.memory.capacity;
  std::vector<uint8_t> scratch(capacity);
  LineDriver lines(session.map, *session.port);
  ProgressMeter meter(console.err, console.progress, "Comparaison", capacity);
  const CompareOutcome outcome = CompareMemory(lines, session.memory, buffer, scratch,
                                               [&](uint32_t i) { meter.Update(i + 1); });
  meter.Finish();
  const std::string message = messages::CompareMessage(outcome, capacity);
  if (!outcome.reachable) {
    console.err << message << '\n';
    return kExitFailed;
  }
  console.out << message << '\n';
  if (options.list) {
    for (const std::string& range : DifferingRanges(buffer, scratch))
      console.out << range << '\n';
  }
  return outcome.differences == 0 ? kExitOk : kExitFailed;
}

int Convert(const Options& options, Console& console) {
  Buffer buffer;
  if (!LoadFile(options.input, options.inputFormat, buffer, console)) return kExitFailed;
  const uint32_t capacity = kMemoryTypes[static_cast<size_t>(options.typeIndex)].capacity;
  if (!SaveFile(options.output, options.outputFormat, buffer, capacity, console)) {
    return kExitFailed;
  }
  console.out << "Conversion terminée : " << capacity << " octets enregistrés dans "
              << options.output << '\n';
  return kExitOk;
}

}  // namespace

int RunCommand(const Options& options, Console& console) {
  switch (options.command) {
    case Command::Read:
      return Read(options, console);
    case Command::Program:
      return Program(options, console);
    case Command::Compare:
      return Compare(options, console);
    case Command::Convert:
      return Convert(options, console);
    case Command::Ports:
      return Ports(options, console);
  }
  return kExitUsage;
}

}  // namespace keldar::cli
