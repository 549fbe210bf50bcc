// Files by name, where the platforms differ (file_system_posix.cpp, file_system_win32.cpp): POSIX
// systems take a name as its bytes; Windows takes it as UTF-16 through its wide API, so that
// names with accents or characters outside the ANSI code page open as they were typed.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace keldar {

// A name the program holds as UTF-8 text (a command line, a setting, a device string).
[[nodiscard]] std::filesystem::path PathFromUtf8(std::string_view text);

// fopen's modes ("rb", "wb"); nullptr when the file cannot be had, errno saying why (as it does
// for each function here).
[[nodiscard]] std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// A new file, open for binary writing; nullptr when the path exists already (a file that
// appeared meanwhile is never overwritten) or cannot be created.
[[nodiscard]] std::FILE* CreateNewFile(const std::filesystem::path& path);

// Renames a finished file over the target in one step, so that a reader sees the old file or
// the new one, never a mix; false when the target was left as it was.
[[nodiscard]] bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace keldar
