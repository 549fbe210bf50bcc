// Saving without risk to the file being replaced: the new content goes to a fresh temporary file
// in the target's folder, which takes the target's place only once every byte was written and
// flushed. On any failure the target is left exactly as it was and the temporary file is removed.
#pragma once

#include <filesystem>
#include <functional>

#include "data/file_error.h"
#include "data/output_file.h"

namespace keldar {

enum class SaveResult : int {
  Ok = 0,
  CannotCreate = 1,   // no file could be made beside the target, or the target may not be replaced
  WriteFailed = 2,    // a write or the final flush failed, e.g. on a full disk
  CannotReplace = 3,  // the finished file could not take the target's place
};

// How a save went: the step it failed at, and why.
struct SaveOutcome {
  SaveResult result = SaveResult::Ok;
  FileError error;  // when result is not Ok

  // A save is judged by its step; the reason is for the user.
  friend bool operator==(const SaveOutcome& outcome, SaveResult result) {
    return outcome.result == result;
  }
};

// Writes the whole content through the file it is given; false when a write failed.
using ContentWriter = std::function<bool(OutputFile& file)>;

// A target that is a symbolic link has the file it points to replaced. A target that exists but is
// not a regular file (a folder, a device), or that is read-only, is refused. The new file keeps the
// old one's permissions. An empty opener means OpenStdioFile with OpenMode::CreateNew.
[[nodiscard]] SaveOutcome ReplaceFile(const std::filesystem::path& target,
                                      const ContentWriter& writeContent,
                                      const OutputFileOpener& open = {});

}  // namespace keldar
