// The supported memory types and the selected memory. The catalogue knows sizes, pages and
// addressing; it knows nothing of lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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
  // Parts above 64 KiB: the device-byte bit that carries address bit 16, the bits above it
  // following; 0 when the word address holds the whole address.
  uint8_t a16Bit = 0;
  // Where a sequential read wraps, when before the end of the memory; 0: at its end.
  uint32_t readSpan = 0;
  // The longest write cycle (tWR) the datasheets give.
  uint32_t writeCycleMs = 5;
};

inline constexpr int32_t kX24C01Index = 11;
// Up to this capacity the device byte carries address bits 10..8 and one word-address byte
// follows; above it two word-address bytes follow.
inline constexpr uint32_t kOneAddressByteLimit = 2048;
inline constexpr uint32_t kByteModeLimit = 8192;

inline constexpr std::array<MemoryType, 15> kMemoryTypes{{
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
    // ST M24M01 (DocID12943: E2 E1 pins, 256-byte pages, 5 ms) and Microchip AT24CM01
    // (DS20006170, 6.1 and Table 6-1: device byte 1010 A2 A1 A16 R/W): A16 in bit 1.
    {12, "24M01", "24M01 (128 ko)", "Option24M01", "24&M01 - (131072 octets) / AT24CM01", 131072, 2,
     6, 256, false, 1},
    // Microchip 24AA1025/24LC1025/24FC1025 (DS20001941, 5.0 and Figure 5-1: control byte
    // 1010 B0 A1 A0 R/W, B0 is A16, in bit 3; the A2 pin is tied to Vcc and sent nowhere;
    // 128-byte pages; sequential reads stay within 0000h-FFFFh or 10000h-1FFFFh; TWC 5 ms).
    {13, "24LC1025", "24LC1025 (128 ko)", "Option24LC1025", "24&LC1025 - (131072 octets)", 131072,
     2, 3, 128, false, 3, 65536},
    // ST M24M02 (DS7025: E2 pin only, 256-byte pages, 10 ms) and Microchip AT24CM02
    // (DS20006197, 6.1 and Table 6-1: device byte 1010 A2 A17 A16 R/W, 10 ms): A17 A16 in
    // bits 2 and 1.
    {14, "24M02", "24M02 (256 ko)", "Option24M02", "24M02 - (262144 oct&ets) / AT24CM02", 262144, 2,
     4, 256, false, 1, 0, 10},
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
  // Sets typeIndex and capacity from the row; an index outside the catalogue changes nothing.
  bool Select(int32_t index);
};

// A run of memory addresses, both ends included.
struct AddressRange {
  uint32_t first = 0;
  uint32_t last = 0;
  [[nodiscard]] constexpr uint32_t count() const { return last - first + 1; }
  friend constexpr bool operator==(const AddressRange&, const AddressRange&) = default;
};

// The control byte 1010 x x x R/W with the base-address bits the type lets through (no block
// bits: the write routines add those).
[[nodiscard]] uint8_t DeviceAddressByte(const CurrentMemory& memory, uint8_t rw);

// The device-byte bits that carry the memory address bits above the word address: bits 10..8 up
// to 2048 bytes, bit 16 and up on the parts above 64 KiB, none in between.
[[nodiscard]] uint8_t BlockBits(const MemoryType& type, uint32_t address);

// The device-byte select bits (bits 3..1 as A2 A1 A0) the part compares with its pins; the others
// carry address bits or are ignored. The 24C00 (Microchip's part, the only one made) has no
// select pins: it ignores all three.
[[nodiscard]] uint8_t ComparedSelectBits(const MemoryType& type);

// The 7-bit bus addresses the part answers at with its pins set to base: 0x50 with every value
// of the select bits it does not compare (0x50..0x57 for a 24C16 whatever its pins). The X24C01,
// whose control byte is its memory address, answers at every one of them.
[[nodiscard]] std::vector<uint8_t> BusAddresses(const MemoryType& type, int32_t base);

// How many bytes one sequential read runs through before it wraps.
[[nodiscard]] constexpr uint32_t SequentialSpan(const MemoryType& type) {
  return type.readSpan != 0 ? type.readSpan : type.capacity;
}

}  // namespace keldar
