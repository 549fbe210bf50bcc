// Why a file could not be read or written, in French, the same for the window and keldar-cli.
#pragma once

#include <string>

#include "data/file_error.h"

namespace keldar::messages {

// In lower case, to follow the file's message in parentheses (keldar-cli) or to become its
// second paragraph (the window): "disque plein : libérez de la place ou choisissez un autre
// disque".
[[nodiscard]] std::string FileErrorText(const FileError& error);

}  // namespace keldar::messages
