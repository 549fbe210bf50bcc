#include "sim/image_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/replace_file.h"

namespace keldar::sim {

namespace fs = std::filesystem;

bool LoadImageFile(const std::string& path, std::string_view typeName, std::span<uint8_t> cells,
                   std::string& error) {
  std::error_code code;
  const fs::file_status status = fs::status(path, code);
  if (!fs::exists(status)) {
    std::fill(cells.begin(), cells.end(), uint8_t{0xFF});
    return true;
  }
  if (!fs::is_regular_file(status)) {
    error = "L'image « " + path + " » n'est pas un fichier.";
    return false;
  }
  const uintmax_t size = fs::file_size(path, code);
  if (code || size != cells.size()) {
    error = "L'image « " + path + " » fait " + std::to_string(code ? 0 : size) +
            " octets ; une mémoire " + std::string(typeName) + " en contient " +
            std::to_string(cells.size()) + ".";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  const bool read =
      file != nullptr && std::fread(cells.data(), 1, cells.size(), file) == cells.size();
  if (file != nullptr) std::fclose(file);
  if (!read) {
    error = "Impossible de lire l'image « " + path + " ».";
    return false;
  }
  return true;
}

bool SaveImageFile(const std::string& path, std::span<const uint8_t> cells, std::string& error) {
  const SaveResult result = ReplaceFile(path, [cells](OutputFile& file) {
    return file.Write(std::string_view(reinterpret_cast<const char*>(cells.data()), cells.size()));
  });
  if (result == SaveResult::Ok) return true;
  error = "Impossible d'enregistrer l'image « " + path + " ».";
  return false;
}

}  // namespace keldar::sim
