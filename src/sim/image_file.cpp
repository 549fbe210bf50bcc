#include "sim/image_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/file_system.h"
#include "data/replace_file.h"

namespace keldar::sim {

namespace fs = std::filesystem;

bool LoadImageFile(const std::string& path, std::string_view typeName, std::span<uint8_t> cells,
                   std::string& error) {
  const fs::path file = PathFromUtf8(path);
  std::error_code code;
  const fs::file_status status = fs::status(file, code);
  if (!fs::exists(status)) {
    std::fill(cells.begin(), cells.end(), uint8_t{0xFF});
    return true;
  }
  if (!fs::is_regular_file(status)) {
    error = "L'image « " + path + " » n'est pas un fichier.";
    return false;
  }
  const uintmax_t size = fs::file_size(file, code);
  if (code || size != cells.size()) {
    error = "L'image « " + path + " » fait " + std::to_string(code ? 0 : size) +
            " octets ; une mémoire " + std::string(typeName) + " en contient " +
            std::to_string(cells.size()) + ".";
    return false;
  }
  std::FILE* stream = OpenFile(file, "rb");
  const bool read =
      stream != nullptr && std::fread(cells.data(), 1, cells.size(), stream) == cells.size();
  if (stream != nullptr) std::fclose(stream);
  if (!read) {
    error = "Impossible de lire l'image « " + path + " ».";
    return false;
  }
  return true;
}

bool SaveImageFile(const std::string& path, std::span<const uint8_t> cells, std::string& error) {
  const SaveOutcome result = ReplaceFile(PathFromUtf8(path), [cells](OutputFile& file) {
    return file.Write(std::string_view(reinterpret_cast<const char*>(cells.data()), cells.size()));
  });
  if (result == SaveResult::Ok) return true;
  error = "Impossible d'enregistrer l'image « " + path + " ».";
  return false;
}

}  // namespace keldar::sim
