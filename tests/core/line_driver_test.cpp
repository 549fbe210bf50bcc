#include "hw/line_driver.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/recording_port.h"

namespace keldar {
namespace {

using sim::PortEvent;
using sim::RecordingPort;
using Kind = PortEvent::Kind;

PortEvent Esc(int32_t code) {
  return {Kind::Escape, code, 0, 0};
}
PortEvent Status(uint32_t word) {
  return {Kind::Status, 0, word, 0};
}
PortEvent Wait(uint32_t ms) {
  return {Kind::Sleep, 0, 0, ms};
}

TEST(LineDriver, OutputChangeCostsOneCallPlusAccessTimeReads) {
  for (int32_t access : {0, 1, 15}) {
    LineMap map;
    map.accessTime = access;
    RecordingPort port;
    LineDriver lines(map, port);
    lines.SetSclHigh();
    EXPECT_EQ(port.Count(Kind::Escape), 1U);
    EXPECT_EQ(port.Count(Kind::Status), static_cast<size_t>(access));
    EXPECT_EQ(port.events().front(), Esc(SETRTS)) << "the code comes before its delay reads";
  }
}

TEST(LineDriver, RepeatedLevelIsIssuedAgain) {
  LineMap map;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.SetSdaHigh();
  lines.SetSdaHigh();
  EXPECT_EQ(port.EscapeCodes(), (std::vector<int32_t>{SETDTR, SETDTR}));
}

TEST(LineDriver, ReadSdaIsExactlyOneStatusReadWhateverTheAccessTime) {
  LineMap map;
  map.accessTime = 15;
  RecordingPort port;
  port.SetSteadyStatus(MS_CTS_ON);
  LineDriver lines(map, port);
  EXPECT_EQ(lines.ReadSda(), 1);
  EXPECT_EQ(port.events(), (std::vector<PortEvent>{Status(MS_CTS_ON)}));
}

TEST(LineDriver, ArrangementThreeCodes) {
  LineMap map;
  map.SetOutputArrangement(3);
  RecordingPort port;
  LineDriver lines(map, port);
  lines.SetSdaHigh();
  lines.SetSdaLow();
  lines.SetValimHigh();
  lines.SetSclLow();
  EXPECT_EQ(port.EscapeCodes(), (std::vector<int32_t>{SETBREAK, CLRBREAK, SETRTS, CLRDTR}));
}

TEST(LineDriver, ComplementSwapsTheCodeAtIssueTime) {
  LineMap map;
  map.complementSdaOut = true;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.SetSdaLow();
  lines.SetSdaHigh();
  EXPECT_EQ(port.EscapeCodes(), (std::vector<int32_t>{SETDTR, CLRDTR}));
  EXPECT_EQ(map.sdaLowCode, CLRDTR) << "the stored codes stay un-inverted";
}

TEST(LineDriver, ReadSdaOnDcdWithAndWithoutComplement) {
  struct Case {
    uint32_t word;
    bool complement;
    uint8_t expected;
  };
  for (const Case& c :
       {Case{0x80, false, 1}, Case{0x80, true, 0}, Case{0x10, false, 0}, Case{0x10, true, 1}}) {
    LineMap map;
    map.SetSdaInput(3);
    map.complementSdaIn = c.complement;
    RecordingPort port;
    port.SetSteadyStatus(c.word);
    LineDriver lines(map, port);
    EXPECT_EQ(lines.ReadSda(), c.expected) << "word " << c.word << " complement " << c.complement;
  }
}

TEST(LineDriver, PowerSequencesUnderTheStandardPreset) {
  LineMap map;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.PowerOn();
  lines.PowerOff();
  EXPECT_EQ(port.events(),
            (std::vector<PortEvent>{Esc(SETDTR), Esc(SETRTS), Esc(SETBREAK), Wait(20),
                                    Esc(CLRBREAK), Esc(CLRRTS), Esc(CLRDTR), Wait(20)}));
}

TEST(LineDriver, PowerSequencesUnderTheInSituPreset) {
  LineMap map;
  map.ApplyInSituPreset();
  RecordingPort port;
  LineDriver lines(map, port);
  lines.PowerOn();
  lines.PowerOff();
  // The adapter's transistors invert SCL and SDA: logical lows hold the target's bus low.
  EXPECT_EQ(port.events(),
            (std::vector<PortEvent>{Esc(CLRDTR), Esc(CLRRTS), Esc(SETBREAK), Wait(20),
                                    Esc(CLRBREAK), Esc(SETRTS), Esc(SETDTR), Wait(20)}));
}

TEST(LineDriver, EachPowerStepCarriesItsAccessDelay) {
  LineMap map;
  map.accessTime = 2;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.PowerOn();
  EXPECT_EQ(port.Count(Kind::Escape), 3U);
  EXPECT_EQ(port.Count(Kind::Status), 6U);
  EXPECT_EQ(port.events().back(), Wait(20));
}

TEST(LineDriver, FailedCallIsRememberedUntilCleared) {
  LineMap map;
  map.accessTime = 1;
  RecordingPort port;
  port.SetSteadyStatus(MS_CTS_ON);
  LineDriver lines(map, port);
  lines.SetSclHigh();
  EXPECT_FALSE(lines.PortFailed());

  port.FailFromCall(4);  // the delay read of the next change
  lines.SetSclLow();
  EXPECT_TRUE(lines.PortFailed());
  lines.SetSclHigh();  // the primitives carry on regardless
  EXPECT_EQ(port.Count(Kind::Escape), 3U);

  lines.ClearPortFailure();
  EXPECT_FALSE(lines.PortFailed());
  (void)lines.ReadSda();
  EXPECT_TRUE(lines.PortFailed()) << "a failed status read counts too";
}

TEST(LineDriver, FailedStatusReadEvaluatesTheOldScratchWord) {
  LineMap map;
  RecordingPort port;
  port.SetSteadyStatus(MS_CTS_ON);
  LineDriver lines(map, port);
  EXPECT_EQ(lines.ReadSda(), 1);
  port.FailFromCall(2);
  EXPECT_EQ(lines.ReadSda(), 1);
}

}  // namespace
}  // namespace keldar
