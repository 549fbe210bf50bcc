#include "hw/line_driver.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/recording_port.h"

namespace keldar {
namespace {

using sim::PortEvent;
using sim::RecordingPort;
using Kind = PortEvent::Kind;

constexpr OutputLine kTxd = OutputLine::Txd;
constexpr OutputLine kDtr = OutputLine::Dtr;
constexpr OutputLine kRts = OutputLine::Rts;

PortEvent Set(OutputLine line, bool asserted) {
  return sim::LineEvent(line, asserted);
}
PortEvent Read(InputLevels inputs) {
  return sim::ReadEvent(inputs);
}
PortEvent Wait(uint32_t ms) {
  return sim::SleepEvent(ms);
}

TEST(LineDriver, OutputChangeCostsOneCallPlusAccessTimeReads) {
  for (int32_t access : {0, 1, 15}) {
    LineMap map;
    map.accessTime = access;
    RecordingPort port;
    LineDriver lines(map, port);
    lines.SetSclHigh();
    EXPECT_EQ(port.Count(Kind::Line), 1U);
    EXPECT_EQ(port.Count(Kind::Read), static_cast<size_t>(access));
    EXPECT_EQ(port.events().front(), Set(kRts, true)) << "the change comes before its delay reads";
  }
}

TEST(LineDriver, RepeatedLevelIsIssuedAgain) {
  LineMap map;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.SetSdaHigh();
  lines.SetSdaHigh();
  EXPECT_EQ(port.LineChanges(), (std::vector<PortEvent>{Set(kDtr, true), Set(kDtr, true)}));
}

TEST(LineDriver, ReadSdaIsExactlyOneStatusReadWhateverTheAccessTime) {
  LineMap map;
  map.accessTime = 15;
  RecordingPort port;
  port.SetSteadyInputs(InputLevels::Of({InputLine::Cts}));
  LineDriver lines(map, port);
  EXPECT_EQ(lines.ReadSda(), 1);
  EXPECT_EQ(port.events(), (std::vector<PortEvent>{Read(InputLevels::Of({InputLine::Cts}))}));
}

TEST(LineDriver, ArrangementThreeLines) {
  LineMap map;
  map.SetOutputArrangement(3);
  RecordingPort port;
  LineDriver lines(map, port);
  lines.SetSdaHigh();
  lines.SetSdaLow();
  lines.SetValimHigh();
  lines.SetSclLow();
  EXPECT_EQ(port.LineChanges(), (std::vector<PortEvent>{Set(kTxd, true), Set(kTxd, false),
                                                        Set(kRts, true), Set(kDtr, false)}));
}

TEST(LineDriver, ComplementSwapsTheLevelAtIssueTime) {
  LineMap map;
  map.complementSdaOut = true;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.SetSdaLow();
  lines.SetSdaHigh();
  EXPECT_EQ(port.LineChanges(), (std::vector<PortEvent>{Set(kDtr, true), Set(kDtr, false)}));
}

TEST(LineDriver, ReadSdaOnDcdWithAndWithoutComplement) {
  struct Case {
    InputLine asserted;
    bool complement;
    uint8_t expected;
  };
  for (const Case& c : {Case{InputLine::Dcd, false, 1}, Case{InputLine::Dcd, true, 0},
                        Case{InputLine::Cts, false, 0}, Case{InputLine::Cts, true, 1}}) {
    LineMap map;
    map.SetSdaInput(3);
    map.complementSdaIn = c.complement;
    RecordingPort port;
    port.SetSteadyInputs(InputLevels::Of({c.asserted}));
    LineDriver lines(map, port);
    EXPECT_EQ(lines.ReadSda(), c.expected)
        << "line " << static_cast<int>(c.asserted) << " complement " << c.complement;
  }
}

TEST(LineDriver, PowerSequencesUnderTheStandardPreset) {
  LineMap map;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.PowerOn();
  lines.PowerOff();
  EXPECT_EQ(port.events(), (std::vector<PortEvent>{Set(kDtr, true), Set(kRts, true),
                                                   Set(kTxd, true), Wait(20), Set(kTxd, false),
                                                   Set(kRts, false), Set(kDtr, false), Wait(20)}));
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
            (std::vector<PortEvent>{Set(kDtr, false), Set(kRts, false), Set(kTxd, true), Wait(20),
                                    Set(kTxd, false), Set(kRts, true), Set(kDtr, true), Wait(20)}));
}

TEST(LineDriver, EachPowerStepCarriesItsAccessDelay) {
  LineMap map;
  map.accessTime = 2;
  RecordingPort port;
  LineDriver lines(map, port);
  lines.PowerOn();
  EXPECT_EQ(port.Count(Kind::Line), 3U);
  EXPECT_EQ(port.Count(Kind::Read), 6U);
  EXPECT_EQ(port.events().back(), Wait(20));
}

TEST(LineDriver, FailedCallIsRememberedUntilCleared) {
  LineMap map;
  map.accessTime = 1;
  RecordingPort port;
  port.SetSteadyInputs(InputLevels::Of({InputLine::Cts}));
  LineDriver lines(map, port);
  lines.SetSclHigh();
  EXPECT_FALSE(lines.PortFailed());

  port.FailFromCall(4);  // the delay read of the next change
  lines.SetSclLow();
  EXPECT_TRUE(lines.PortFailed());
  lines.SetSclHigh();  // the primitives carry on regardless
  EXPECT_EQ(port.Count(Kind::Line), 3U);

  lines.ClearPortFailure();
  EXPECT_FALSE(lines.PortFailed());
  (void)lines.ReadSda();
  EXPECT_TRUE(lines.PortFailed()) << "a failed status read counts too";
}

TEST(LineDriver, FailedStatusReadEvaluatesTheOldScratchReading) {
  LineMap map;
  RecordingPort port;
  port.SetSteadyInputs(InputLevels::Of({InputLine::Cts}));
  LineDriver lines(map, port);
  EXPECT_EQ(lines.ReadSda(), 1);
  port.FailFromCall(2);
  EXPECT_EQ(lines.ReadSda(), 1);
}

}  // namespace
}  // namespace keldar
