#include "data/replace_file.h"

#include <string>
#include <system_error>

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

SaveResult ReplaceFile(const fs::path& target, const ContentWriter& writeContent,
                       const OutputFileOpener& open) {
  const fs::path destination = ResolveLink(target);
  if (destination.filename().empty()) return SaveResult::CannotCreate;

  std::error_code error;
  const fs::file_status old = fs::status(destination, error);
  const bool replacing = fs::exists(old);
  if (replacing && (!fs::is_regular_file(old) || IsReadOnly(old.permissions()))) {
    return SaveResult::CannotCreate;
  }

  const OutputFileOpener& opener = open ? open : OutputFileOpener([](const fs::path& path) {
    return OpenStdioFile(path, OpenMode::CreateNew);
  });
  const std::string stem = "." + destination.filename().string() + ".keldar-";
  fs::path temporary;
  std::unique_ptr<OutputFile> file;
  for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
    temporary = destination.parent_path() / (stem + std::to_string(attempt) + ".tmp");
    if (fs::exists(fs::symlink_status(temporary, error))) continue;
    file = opener(temporary);
    break;
  }
  if (!file) return SaveResult::CannotCreate;

  const bool written = writeContent(*file);
  const bool closed = file->Close();
  file.reset();
  if (!written || !closed) {
    fs::remove(temporary, error);
    return SaveResult::WriteFailed;
  }
  if (replacing) fs::permissions(temporary, old.permissions(), error);  // best effort
  fs::rename(temporary, destination, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return SaveResult::CannotReplace;
  }
  return SaveResult::Ok;
}

}  // namespace keldar
