#include "hw/linemap.h"

#include <gtest/gtest.h>

namespace keldar {
namespace {

TEST(LineMap, StartsAsTheStandardReaderOnArrangementZero) {
  LineMap map;
  EXPECT_EQ(map.outputArrangement, 0);
  EXPECT_EQ(map.sdaInput, 0);
  EXPECT_EQ(map.Arrangement().valim, OutputLine::Txd);
  EXPECT_EQ(map.Arrangement().scl, OutputLine::Rts);
  EXPECT_EQ(map.Arrangement().sda, OutputLine::Dtr);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Cts);
  EXPECT_EQ(map.accessTime, 0);
}

// The reader configuration's six rows, "Valim = TxD / SCL = RTS / SDA = DTR" to
// "Valim = DTR / SCL = RTS / SDA = TxD": each puts the three signals on three different lines.
TEST(LineMap, EachArrangementNamesItsRow) {
  using enum OutputLine;
  const OutputLine rows[6][3] = {{Txd, Rts, Dtr}, {Txd, Dtr, Rts}, {Rts, Txd, Dtr},
                                 {Rts, Dtr, Txd}, {Dtr, Txd, Rts}, {Dtr, Rts, Txd}};
  for (int32_t index = 0; index < 6; ++index) {
    LineMap map;
    ASSERT_TRUE(map.SetOutputArrangement(index));
    EXPECT_EQ(map.outputArrangement, index);
    const OutputArrangement& lines = map.Arrangement();
    EXPECT_EQ(lines.valim, rows[index][0]) << "arrangement " << index;
    EXPECT_EQ(lines.scl, rows[index][1]) << "arrangement " << index;
    EXPECT_EQ(lines.sda, rows[index][2]) << "arrangement " << index;
  }
}

TEST(LineMap, InputsInTheOrderCtsDsrRingDcd) {
  LineMap map;
  const InputLine expected[] = {InputLine::Cts, InputLine::Dsr, InputLine::Ring, InputLine::Dcd};
  for (int32_t index = 0; index < 4; ++index) {
    ASSERT_TRUE(map.SetSdaInput(index));
    EXPECT_EQ(map.SdaInputLine(), expected[index]);
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
  EXPECT_EQ(map.Arrangement().valim, OutputLine::Dtr);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Ring);
}

TEST(LineMap, PresetsResetWiringButKeepAccessTime) {
  LineMap map;
  map.SetOutputArrangement(5);
  map.SetSdaInput(3);
  map.complementValim = true;
  map.accessTime = 7;

  map.ApplyInSituPreset();
  EXPECT_EQ(map.outputArrangement, 0);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Cts);
  EXPECT_EQ(map.Arrangement().sda, OutputLine::Dtr);
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
