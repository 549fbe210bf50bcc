// The twelve supported memory types and the selected memory. The catalogue knows sizes, pages
// and addressing; it knows nothing of lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace keldar {

struct MemoryType {
  int32_t typeIndex;
  std::string_view name;         // catalogue name, as in "sim:24C16"
  std::string_view comboText;    // combo-box text
  std::string_view menuItem;     // menu item's object name
  std::string_view menuCaption;  // menu caption with its accelerator
  uint32_t capacity;
  int addressBytes;  // word-address bytes after the device byte; 0: the X24C01 has none
  uint8_t baseMask;  // which of A2 A1 A0 enter the device byte
  uint32_t pageSize;
  bool byteModeAllowed;
};

inline constexpr int32_t kX24C01Index = 11;
// Up to this capacity the device byte carries address bits 10..8 and one word-address byte
// follows; above it two word-address bytes follow.
inline constexpr uint32_t kOneAddressByteLimit = 2048;
inline constexpr uint32_t kByteModeLimit = 8192;

inline constexpr std::array<MemoryType, 12> kMemoryTypes{{
    {0, "24C00", "24C00 (16 o)", "Option24C00", "24C0&0 - (16 octets)", 16, 1, 7, 1, true},
    {1, "24C01", "24C01 (128 o)", "Option24C01", "24C0&1 - (128 octets)", 128, 1, 7, 4, true},
    {2, "24C02", "24C02 (256 o)", "Option24C02", "24C0&2 - (256 octets)", 256, 1, 7, 4, true},
    {3, "24C04", "24C04 (512 o)", "Option24C04", "24C0&4 - (512 octets)", 512, 1, 6, 16, true},
    {4, "24C08", "24C08 (1 ko)", "Option24C08", "24C0&8 - (1024 octets)", 1024, 1, 4, 16, true},
    {5, "24C16", "24C16 (2 ko)", "Option24C16", "24C1&6 - (2048 octets)", 2048, 1, 0, 16, true},
    {6, "24C32", "24C32 (4 ko)", "Option24C32", "24C&32 - (4096 octets)", 4096, 2, 7, 32, true},
    {7, "24C64", "24C64 (8 ko)", "Option24C64", "24C64 - (81&92 octets) / 24C65", 8192, 2, 7, 32,
     true},
    {8, "24C128", "24C128 (16 ko)", "Option24C128", "24&C128 - (16384 octets)", 16384, 2, 7, 64,
     false},
    {9, "24C256", "24C256 (32 ko)", "Option24C256", "24C256 - (32&768 octets)", 32768, 2, 7, 64,
     false},
    {10, "24C512", "24C512 (64 ko)", "Option24C512", "24C512 - (65536 oc&tets)", 65536, 2, 7, 128,
     false},
    {11, "X24C01", "X24C01 (128 o)", "OptionX24C01", "AT24C01 / &X24C01 - (128 octets, pseudo-I2C)",
     128, 0, 7, 4, true},
}};

// Index of the type with this catalogue name (case-insensitive), or -1.
[[nodiscard]] int32_t FindMemoryType(std::string_view name);

// The selected memory. Start-up values: 24C16, page mode, base address 0.
struct CurrentMemory {
  int32_t typeIndex = 5;
  uint32_t capacity = 2048;
  uint32_t cursorAddress = 0;
  int32_t baseAddress = 0;  // A2 A1 A0 pins, 0..7
  bool pageMode = true;

  [[nodiscard]] const MemoryType& type() const {
    return kMemoryTypes[static_cast<size_t>(typeIndex)];
  }
  // Sets typeIndex and capacity from the row; an index outside 0..11 changes nothing.
  bool Select(int32_t index);
};

// The control byte 1010 x x x R/W with the base-address bits the type lets through (no block
// bits: the write routines add those).
[[nodiscard]] uint8_t DeviceAddressByte(const CurrentMemory& memory, uint8_t rw);

}  // namespace keldar
