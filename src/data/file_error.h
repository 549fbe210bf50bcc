// Why a file could not be read or written, as the system said it: the front ends put it in
// French through src/messages.
#pragma once

namespace keldar {

enum class FileProblem {
  None,
  Missing,     // the file, or the folder it goes in, does not exist
  Permission,  // the file or its folder is not ours to read or write
  ReadOnly,    // the file is marked read-only, or its disk is mounted read-only
  Folder,      // the name is a folder's, or names no file at all
  DiskFull,    // no room left on the disk (or in the user's quota)
  Other,       // error says what, when it is known
};

struct FileError {
  FileProblem problem = FileProblem::None;
  int error = 0;  // the errno behind it, 0 when none
};

// The problem an errno value stands for; Other for any value none stands for, 0 included.
[[nodiscard]] FileError FileErrorFromErrno(int error);

}  // namespace keldar
