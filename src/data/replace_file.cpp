#include "data/replace_file.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "data/file_system.h"

namespace keldar {
namespace {

namespace fs = std::filesystem;

// A temporary name left behind by a crash is skipped, not reused.
constexpr int kTemporaryNames = 100;

fs::path ResolveLink(const fs::path& target) {
  std::error_code error;
  if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
  const fs::path resolved = fs::canonical(target, error);
  return error ? target : resolved;
}

bool IsReadOnly(fs::perms permissions) {
  constexpr fs::perms kAnyWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (permissions & kAnyWrite) == fs::perms::none;
}

}  // namespace

SaveOutcome ReplaceFile(const fs::path& target, const ContentWriter& writeContent,
                        const OutputFileOpener& open) {
  constexpr FileError kNotAFile{FileProblem::Folder, EISDIR};
  const fs::path destination = ResolveLink(target);
  if (destination.filename().empty()) return {SaveResult::CannotCreate, kNotAFile};

  std::error_code error;
  const fs::file_status old = fs::status(destination, error);
  const bool replacing = fs::exists(old);
  if (replacing && !fs::is_regular_file(old)) return {SaveResult::CannotCreate, kNotAFile};
  if (replacing && IsReadOnly(old.permissions())) {
    return {SaveResult::CannotCreate, {FileProblem::ReadOnly, 0}};
  }

  const OutputFileOpener& opener = open ? open : OutputFileOpener([](const fs::path& path) {
    return OpenStdioFile(path, OpenMode::CreateNew);
  });
  // Built as a path, never through narrow text: Windows names need not fit the ANSI code page.
  fs::path temporary;
  std::unique_ptr<OutputFile> file;
  int refused = EEXIST;  // every name taken
  for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
    fs::path name = ".";
    name += destination.filename();
    name += ".keldar-" + std::to_string(attempt) + ".tmp";
    temporary = destination.parent_path() / name;
    if (fs::exists(fs::symlink_status(temporary, error))) continue;
    errno = 0;
    file = opener(temporary);
    refused = errno;
    break;
  }
  if (!file) return {SaveResult::CannotCreate, FileErrorFromErrno(refused)};

  // Each failing call leaves its errno: ENOSPC on a full disk, at a write or at the flush.
  errno = 0;
  const bool written = writeContent(*file);
  const int writeError = errno;
  errno = 0;
  const bool closed = file->Close();
  const int closeError = errno;
  file.reset();
  if (!written || !closed) {
    fs::remove(temporary, error);
    return {SaveResult::WriteFailed, FileErrorFromErrno(written ? closeError : writeError)};
  }
  if (replacing) fs::permissions(temporary, old.permissions(), error);  // best effort
  errno = 0;
  if (!MoveOver(temporary, destination)) {
    const int moveError = errno;
    fs::remove(temporary, error);
    return {SaveResult::CannotReplace, FileErrorFromErrno(moveError)};
  }
  return {};
}

}  // namespace keldar
