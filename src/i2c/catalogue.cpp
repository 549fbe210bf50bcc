#include "i2c/catalogue.h"

#include <algorithm>
#include <cctype>

namespace keldar {

int32_t FindMemoryType(std::string_view name) {
  const auto same = [name](const MemoryType& row) {
    return std::equal(name.begin(), name.end(), row.name.begin(), row.name.end(),
                      [](char a, char b) {
                        return std::toupper(static_cast<unsigned char>(a)) ==
                               std::toupper(static_cast<unsigned char>(b));
                      });
  };
  const auto it = std::find_if(kMemoryTypes.begin(), kMemoryTypes.end(), same);
  return it == kMemoryTypes.end() ? -1 : it->typeIndex;
}

bool CurrentMemory::Select(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kMemoryTypes.size())) return false;
  typeIndex = index;
  capacity = kMemoryTypes[static_cast<size_t>(index)].capacity;
  return true;
}

uint8_t DeviceAddressByte(const CurrentMemory& memory, uint8_t rw) {
  const uint32_t pins = static_cast<uint32_t>(memory.baseAddress) & memory.type().baseMask;
  return static_cast<uint8_t>(0xA0U | ((pins << 1) & 0x0EU) | (rw & 1U));
}

uint8_t BlockBits(const MemoryType& type, uint32_t address) {
  if (type.capacity <= kOneAddressByteLimit) return static_cast<uint8_t>((address >> 7) & 0x0EU);
  if (type.a16Bit == 0) return 0;
  return static_cast<uint8_t>(((address >> 16) << type.a16Bit) & 0x0EU);
}

uint8_t ComparedSelectBits(const MemoryType& type) {
  return type.name == "24C00" ? uint8_t{0} : type.baseMask;
}

std::vector<uint8_t> BusAddresses(const MemoryType& type, int32_t base) {
  std::vector<uint8_t> addresses;
  if (type.typeIndex == kX24C01Index) {
    for (uint8_t address = 0; address < 0x80; ++address)
      addresses.push_back(address);
    return addresses;
  }
  const uint8_t compared = ComparedSelectBits(type);
  for (uint8_t select = 0; select < 8; ++select) {
    if ((select & compared) == (static_cast<uint32_t>(base) & compared))
      addresses.push_back(static_cast<uint8_t>(0x50U | select));
  }
  return addresses;
}

}  // namespace keldar
