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
#include "messages/file_messages.h"
#include "messages/operation_messages.h"
#include "session/operation_service.h"
#include "session/session.h"

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

// "$0100 à $01FF"
std::string RangeText(AddressRange range) {
  return messages::HexAddress(range.first) + " à " + messages::HexAddress(range.last);
}

// A binary file of a range holds the range alone: one of another size was made for another range
// and is refused, rather than programmed cut short or padded.
bool LoadBinaryRangeFile(const std::string& path, AddressRange range, Buffer& buffer,
                         Console& console) {
  const BinaryLoad load = LoadBinaryRange(PathFromUtf8(path), buffer, range.first, range.count());
  if (load.count < 1) {
    console.err << path << " : " << WithReason(kEmptyFile, load.error) << '\n';
    return false;
  }
  if (load.count != range.count()) {
    console.err << path << " : le fichier contient "
                << (load.count > range.count() ? "plus de " + std::to_string(range.count())
                                               : std::to_string(load.count))
                << " octets, la plage " << RangeText(range) << " en compte " << range.count()
                << " : un fichier binaire contient la plage seule.\n";
    return false;
  }
  ReportLoaded(path, load.count, {range.first, range.last}, console);
  return true;
}

// An Intel HEX file keeps its addresses: the range takes the bytes it covers, and says so when
// the file holds more; a file with no data in the range is refused.
bool FitsRange(const std::string& path, IntelHexRange copied, AddressRange range,
               Console& console) {
  if (copied.last < range.first || copied.first > range.last) {
    console.err << path << " : aucune donnée dans la plage " << RangeText(range) << '\n';
    return false;
  }
  if (copied.first < range.first || copied.last > range.last) {
    console.err << "Seuls les octets de " << RangeText(range)
                << " sont pris, les données hors de la plage sont ignorées.\n";
  }
  return true;
}

// Loads a whole file as the window does, over a buffer of $FF (the bytes a file does not cover);
// false after printing why. A file with a fault is refused as a whole here, and so is one that
// holds no data byte: a script must never program half an image, nor a blank one in its stead.
bool LoadFile(const std::string& path, FileFormat asked, const std::optional<AddressRange>& range,
              Buffer& buffer, Console& console) {
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
    return !range || FitsRange(path, *result.copied, *range, console);
  }
  if (range) return LoadBinaryRangeFile(path, *range, buffer, console);
  const BinaryLoad load = LoadBinaryImage(PathFromUtf8(path), buffer);
  const uint32_t count = load.count;
  if (count < 1) {
    console.err << path << " : " << WithReason(kEmptyFile, load.error) << '\n';
    return false;
  }
  ReportLoaded(path, count, {0, count - 1}, console);
  return true;
}

// A binary file holds the range alone; an Intel HEX file carries its addresses.
bool SaveFile(const std::string& path, FileFormat asked, const Buffer& buffer, AddressRange range,
              Console& console) {
  const SaveOutcome result =
      ResolveFormat(asked, path) == FileFormat::IntelHex
          ? WriteIntelHexRange(PathFromUtf8(path), buffer, range.first, range.count())
          : SaveBinaryRange(PathFromUtf8(path), buffer, range.first, range.count());
  if (result != SaveResult::Ok) {
    console.err << path << " : " << WithReason(kSaveFailed, result.error) << '\n';
    return false;
  }
  return true;
}

// The reader, the line map and the selected memory of one command, on the saved wiring with the
// command line's changes.
bool OpenSession(const Options& options, Session& session, Console& console) {
  const std::unique_ptr<SettingsReader> settings = OpenUserSettings();
  std::string error;
  session.lineMap = SavedLineMap(*settings);
  if (!ApplyOverrides(options.lines, session.lineMap, error)) {
    console.err << error << '\n';
    return false;
  }
  session.currentMemory.Select(options.typeIndex);
  session.currentMemory.baseAddress = options.baseAddress;
  session.currentMemory.pageMode = !options.byteMode;
  // An I2C adapter is checked with the memory: it comes after the type and base.
  session.portHandle = OpenReaderDevice(
      DeviceFor(options.port, *settings), session.currentMemory.type(),
      session.currentMemory.baseAddress, options.command == Command::Identify, console);
  if (!session.portHandle.IsOpen()) return false;
  session.portNumber = 1;
  return true;
}

// One operation of the session's service, its progress on the terminal; a read that succeeded
// is in the session's buffer afterwards.
OperationOutcome RunOperation(Session& session, OperationKind kind, const Options& options,
                              Console& console) {
  OperationRequest request = session.Request(kind);
  request.verify = options.verify;
  request.range = options.range;
  ProgressMeter meter(console.err, console.progress);
  const OperationOutcome outcome =
      OperationService().Run(session.portHandle, request, meter, console.stop);
  meter.Finish();
  session.ApplyOutcome(outcome);
  return outcome;
}

// A stopped or failed operation: its report on the error stream, and the exit code.
int Unsuccessful(const OperationOutcome& outcome, Console& console) {
  console.err << messages::OutcomeMessage(outcome) << '\n';
  return outcome.stopped() ? kExitInterrupted : kExitFailed;
}

int Read(const Options& options, Console& console) {
  Session session;
  if (!OpenSession(options, session, console)) return kExitFailed;
  session.buffer.fill(0xFF);
  const OperationOutcome outcome = RunOperation(session, OperationKind::Read, options, console);
  if (!outcome.succeeded()) return Unsuccessful(outcome, console);
  const AddressRange range = outcome.range;
  if (!SaveFile(options.output, options.outputFormat, session.buffer, range, console)) {
    return kExitFailed;
  }
  console.out << "Lecture terminée : " << range.count() << " octets"
              << (options.range ? ", de " + RangeText(range) + "," : "") << " enregistrés dans "
              << options.output << '\n';
  if (const std::string note = messages::RepetitionNote(outcome); !note.empty()) {
    console.err << note << '\n';
  }
  return kExitOk;
}

int Program(const Options& options, Console& console) {
  Session session;
  if (!LoadFile(options.input, options.inputFormat, options.range, session.buffer, console)) {
    return kExitFailed;
  }
  if (!OpenSession(options, session, console)) return kExitFailed;
  const OperationOutcome outcome =
      RunOperation(session, OperationKind::ProgramMemory, options, console);
  if (!outcome.succeeded()) return Unsuccessful(outcome, console);
  console.out << messages::kProgramSucceeded << '\n';
  return kExitOk;
}

// Address ranges where the two areas differ, as "$0010-$001F" (one address: "$0010"); memory
// holds the bytes read from address base on.
std::vector<std::string> DifferingRanges(const Buffer& buffer, const std::vector<uint8_t>& memory,
                                         uint32_t base) {
  std::vector<std::string> ranges;
  const uint32_t size = base + static_cast<uint32_t>(memory.size());
  const auto read = [&](uint32_t a) { return memory[a - base]; };
  for (uint32_t a = base; a < size;) {
    if (buffer[a] == read(a)) {
      ++a;
      continue;
    }
    const uint32_t first = a;
    while (a < size && buffer[a] != read(a))
      ++a;
    ranges.push_back(a - 1 == first
                         ? messages::HexAddress(first)
                         : messages::HexAddress(first) + "-" + messages::HexAddress(a - 1));
  }
  return ranges;
}

int Compare(const Options& options, Console& console) {
  Session session;
  if (!LoadFile(options.input, options.inputFormat, options.range, session.buffer, console)) {
    return kExitFailed;
  }
  if (!OpenSession(options, session, console)) return kExitFailed;
  const OperationOutcome outcome = RunOperation(session, OperationKind::Compare, options, console);
  if (!outcome.compare.reachable || outcome.stopped()) return Unsuccessful(outcome, console);
  console.out << messages::OutcomeMessage(outcome) << '\n';
  if (options.list) {
    for (const std::string& range :
         DifferingRanges(session.buffer, outcome.memory, outcome.range.first))
      console.out << range << '\n';
  }
  return outcome.succeeded() ? kExitOk : kExitFailed;
}

// The report on the error stream; the type's catalogue name alone on the output when one fits.
int Identify(const Options& options, Console& console) {
  Session session;
  if (!OpenSession(options, session, console)) return kExitFailed;
  const OperationOutcome outcome = RunOperation(session, OperationKind::Identify, options, console);
  console.err << messages::OutcomeMessage(outcome) << '\n';
  if (outcome.stopped()) return kExitInterrupted;
  if (!outcome.succeeded()) return kExitFailed;
  console.out << kMemoryTypes[static_cast<size_t>(outcome.identify.types.front())].name << '\n';
  return kExitOk;
}

int Convert(const Options& options, Console& console) {
  Buffer buffer;
  if (!LoadFile(options.input, options.inputFormat, {}, buffer, console)) return kExitFailed;
  const uint32_t capacity = kMemoryTypes[static_cast<size_t>(options.typeIndex)].capacity;
  if (!SaveFile(options.output, options.outputFormat, buffer, {0, capacity - 1}, console)) {
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
    case Command::Identify:
      return Identify(options, console);
  }
  return kExitUsage;
}

}  // namespace keldar::cli
