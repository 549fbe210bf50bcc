#include "hw/linemap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace keldar {
namespace {

TEST(LineMap, StartsAsTheStandardReaderOnArrangementZero) {
  LineMap map;
  EXPECT_EQ(map.outputArrangement, 0);
  EXPECT_EQ(map.sdaInput, 0);
  EXPECT_EQ(map.valimLowCode, CLRBREAK);
  EXPECT_EQ(map.valimHighCode, SETBREAK);
  EXPECT_EQ(map.sclLowCode, CLRRTS);
  EXPECT_EQ(map.sclHighCode, SETRTS);
  EXPECT_EQ(map.sdaLowCode, CLRDTR);
  EXPECT_EQ(map.sdaHighCode, SETDTR);
  EXPECT_EQ(map.sdaInputMask, MS_CTS_ON);
  EXPECT_EQ(map.accessTime, 0);
}

// Every arrangement puts the three signals on three different lines, each with the CLR/SET pair
// of that line.
TEST(LineMap, EveryArrangementUsesEachPhysicalLineOnce) {
  const auto pairOf = [](int32_t low, int32_t high) { return low * 100 + high; };
  for (int32_t index = 0; index < 6; ++index) {
    LineMap map;
    ASSERT_TRUE(map.SetOutputArrangement(index));
    EXPECT_EQ(map.outputArrangement, index);
    std::vector<int32_t> pairs{pairOf(map.valimLowCode, map.valimHighCode),
                               pairOf(map.sclLowCode, map.sclHighCode),
                               pairOf(map.sdaLowCode, map.sdaHighCode)};
    std::sort(pairs.begin(), pairs.end());
    EXPECT_EQ(pairs, (std::vector<int32_t>{pairOf(CLRRTS, SETRTS), pairOf(CLRDTR, SETDTR),
                                           pairOf(CLRBREAK, SETBREAK)}))
        << "arrangement " << index;
  }
}

TEST(LineMap, ArrangementThreeCarriesValimOnRtsSclOnDtrSdaOnTxd) {
  LineMap map;
  map.SetOutputArrangement(3);
  EXPECT_EQ(map.valimHighCode, SETRTS);
  EXPECT_EQ(map.sclLowCode, CLRDTR);
  EXPECT_EQ(map.sdaHighCode, SETBREAK);
  EXPECT_EQ(map.sdaLowCode, CLRBREAK);
}

TEST(LineMap, InputsMapToTheirStatusBits) {
  LineMap map;
  const uint32_t expected[] = {MS_CTS_ON, MS_DSR_ON, MS_RING_ON, MS_RLSD_ON};
  for (int32_t index = 0; index < 4; ++index) {
    ASSERT_TRUE(map.SetSdaInput(index));
    EXPECT_EQ(map.sdaInputMask, expected[index]);
  }
}

TEST(LineMap, OutOfRangeIndicesLeaveTheMapAsItWas) {
  LineMap map;
  map.SetOutputArrangement(4);
  map.SetSdaInput(2);
  EXPECT_FALSE(map.SetOutputArrangement(6));
  EXPECT_FALSE(map.SetOutputArrangement(-1));
  EXPECT_FALSE(map.SetSdaInput(4));
  EXPECT_EQ(map.outputArrangement, 4);
  EXPECT_EQ(map.valimLowCode, CLRDTR);
  EXPECT_EQ(map.sdaInputMask, MS_RING_ON);
}

TEST(LineMap, PresetsResetWiringButKeepAccessTime) {
  LineMap map;
  map.SetOutputArrangement(5);
  map.SetSdaInput(3);
  map.complementValim = true;
  map.accessTime = 7;

  map.ApplyInSituPreset();
  EXPECT_EQ(map.outputArrangement, 0);
  EXPECT_EQ(map.sdaInputMask, MS_CTS_ON);
  EXPECT_EQ(map.sdaLowCode, CLRDTR);
  EXPECT_FALSE(map.complementValim);
  EXPECT_TRUE(map.complementScl);
  EXPECT_TRUE(map.complementSdaOut);
  EXPECT_TRUE(map.complementSdaIn);
  EXPECT_EQ(map.accessTime, 7);

  map.ApplyStandardPreset();
  EXPECT_FALSE(map.complementScl);
  EXPECT_FALSE(map.complementSdaOut);
  EXPECT_FALSE(map.complementSdaIn);
  EXPECT_EQ(map.accessTime, 7);
}

}  // namespace
}  // namespace keldar
