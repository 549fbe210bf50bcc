#include "i2c/catalogue.h"

#include <gtest/gtest.h>

#include <bit>

namespace keldar {
namespace {

// The invariants every row must keep; a new row that breaks one fails here.
TEST(Catalogue, EveryRowIsSelfConsistent) {
  for (size_t i = 0; i < kMemoryTypes.size(); ++i) {
    const MemoryType& row = kMemoryTypes[i];
    SCOPED_TRACE(std::string(row.name));
    EXPECT_EQ(row.typeIndex, static_cast<int32_t>(i));
    EXPECT_TRUE(std::has_single_bit(row.capacity));
    EXPECT_LE(row.capacity, 262144U);
    EXPECT_TRUE(std::has_single_bit(row.pageSize));
    EXPECT_EQ(row.capacity % row.pageSize, 0U);
    EXPECT_EQ(row.byteModeAllowed, row.capacity <= kByteModeLimit);
    if (row.typeIndex == kX24C01Index) {
      EXPECT_EQ(row.addressBytes, 0);
      EXPECT_LE(row.capacity, 128U) << "the address travels in 7 bits";
    } else {
      EXPECT_EQ(row.addressBytes, row.capacity <= kOneAddressByteLimit ? 1 : 2);
      // Address bits above the word-address bytes ride in the device byte: the mask leaves
      // exactly that many pin bits out.
      const uint32_t wordBits = 8U * static_cast<uint32_t>(row.addressBytes);
      const uint32_t addressBits = static_cast<uint32_t>(std::countr_zero(row.capacity));
      const uint32_t blockBits = addressBits > wordBits ? addressBits - wordBits : 0;
      EXPECT_EQ(static_cast<uint32_t>(std::popcount(row.baseMask)), 3 - blockBits);
    }
    EXPECT_EQ(FindMemoryType(row.name), row.typeIndex);
    EXPECT_FALSE(row.comboText.empty());
    EXPECT_NE(row.menuCaption.find('&'), std::string_view::npos) << "accelerator letter";
  }
}

TEST(Catalogue, PageSizeFollowsCapacity) {
  const uint32_t expected[] = {1, 4, 4, 16, 16, 16, 32, 32, 64, 64, 128, 4, 256, 128, 256};
  for (size_t i = 0; i < kMemoryTypes.size(); ++i)
    EXPECT_EQ(kMemoryTypes[i].pageSize, expected[i]);
}

TEST(Catalogue, FindsNamesWhateverTheCaseAndRefusesOthers) {
  EXPECT_EQ(FindMemoryType("24c512"), 10);
  EXPECT_EQ(FindMemoryType("x24c01"), 11);
  EXPECT_EQ(FindMemoryType("24C1"), -1);
  EXPECT_EQ(FindMemoryType(""), -1);
}

TEST(CurrentMemory, StartsAs24C16InPageModeOnBaseZero) {
  CurrentMemory memory;
  EXPECT_EQ(memory.typeIndex, 5);
  EXPECT_EQ(memory.capacity, 2048U);
  EXPECT_TRUE(memory.pageMode);
  EXPECT_EQ(memory.baseAddress, 0);
}

TEST(CurrentMemory, SelectKeepsCapacityInStepAndRefusesBadIndices) {
  CurrentMemory memory;
  EXPECT_TRUE(memory.Select(10));
  EXPECT_EQ(memory.capacity, 65536U);
  EXPECT_FALSE(memory.Select(15));
  EXPECT_FALSE(memory.Select(-1));
  EXPECT_EQ(memory.typeIndex, 10);
  EXPECT_EQ(memory.capacity, 65536U);
}

TEST(DeviceAddressByte, BaseAddressFiveOnEachFamily) {
  CurrentMemory memory;
  memory.baseAddress = 5;
  for (int32_t index : {0, 1, 2, 6, 7, 8, 9, 10}) {
    memory.Select(index);
    EXPECT_EQ(DeviceAddressByte(memory, 0), 0xAA) << index;
    EXPECT_EQ(DeviceAddressByte(memory, 1), 0xAB) << index;
  }
  memory.Select(3);
  EXPECT_EQ(DeviceAddressByte(memory, 0), 0xA8);  // A0 carries a8
  memory.Select(4);
  EXPECT_EQ(DeviceAddressByte(memory, 0), 0xA8);  // A1 A0 carry a9 a8
  memory.Select(5);
  EXPECT_EQ(DeviceAddressByte(memory, 0), 0xA0);  // no pins at all
}

TEST(DeviceAddressByte, EveryBaseOnEveryTypeStaysAnEightBitControlByte) {
  CurrentMemory memory;
  for (const MemoryType& row : kMemoryTypes) {
    memory.Select(row.typeIndex);
    for (int32_t base = 0; base < 8; ++base) {
      memory.baseAddress = base;
      const uint8_t byte = DeviceAddressByte(memory, 1);
      EXPECT_EQ(byte & 0xF1, 0xA1);
      EXPECT_EQ((byte >> 1) & 7, base & row.baseMask);
    }
  }
}

// The bus addresses a part answers at, from its datasheet's device byte: 1010 and the select bits
// it compares with its pins, the others carrying address bits (or ignored, on the 24C00).
TEST(BusAddresses, EachPartAnswersWhereItsDeviceByteLetsIt) {
  const auto addresses = [](const char* name, int32_t base) {
    return BusAddresses(kMemoryTypes[static_cast<size_t>(FindMemoryType(name))], base);
  };
  using List = std::vector<uint8_t>;
  const List all{0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57};
  EXPECT_EQ(addresses("24C00", 5), all);  // Microchip 24C00: no chip-select pins
  EXPECT_EQ(addresses("24C02", 5), List{0x55});
  EXPECT_EQ(addresses("24C04", 5), (List{0x54, 0x55}));              // 1010 A2 A1 a8
  EXPECT_EQ(addresses("24C08", 5), (List{0x54, 0x55, 0x56, 0x57}));  // 1010 A2 a9 a8
  EXPECT_EQ(addresses("24C16", 5), all);
  EXPECT_EQ(addresses("24C512", 5), List{0x55});
  EXPECT_EQ(addresses("24M01", 5), (List{0x54, 0x55}));              // 1010 A2 A1 A16
  EXPECT_EQ(addresses("24LC1025", 1), (List{0x51, 0x55}));           // 1010 B0 A1 A0
  EXPECT_EQ(addresses("24M02", 5), (List{0x54, 0x55, 0x56, 0x57}));  // 1010 A2 A17 A16
  EXPECT_EQ(addresses("X24C01", 0).size(), 128U);  // its control byte is its memory address
}

}  // namespace
}  // namespace keldar
