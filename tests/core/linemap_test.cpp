#include "hw/linemap.h"

#include <gtest/gtest.h>

namespace keldar {
namespace {

TEST(LineMap, StartsAsStandardReader) {
  LineMap map;
  EXPECT_EQ(map.valimHighCode, SETBREAK);
  EXPECT_EQ(map.sdaInputMask, MS_CTS_ON);
}

}  // namespace
}  // namespace keldar
