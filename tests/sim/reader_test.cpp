// The reader around the memory: physical lines, wirings, arrangements and inputs, a reader with
// no memory or nothing plugged in, a port pulled out, and the simulated clock.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "sim_rig.h"

namespace keldar {
namespace {

using sim::SimConfig;
using sim::SimulatedReader;
using sim::Wiring;
using test::Fitted;
using test::Rig;

constexpr int32_t k24C02 = 2;

TEST(ReaderLinesTest, EachChangeSwitchesOneLine) {
  SimulatedReader reader(Fitted(k24C02));
  // A serial port opens with DTR and RTS asserted and TxD idle.
  EXPECT_FALSE(reader.txd());
  EXPECT_TRUE(reader.dtr());
  EXPECT_TRUE(reader.rts());
  EXPECT_TRUE(reader.SetLine(OutputLine::Txd, true));
  EXPECT_TRUE(reader.txd());
  EXPECT_TRUE(reader.SetLine(OutputLine::Dtr, false));
  EXPECT_FALSE(reader.dtr());
  EXPECT_TRUE(reader.SetLine(OutputLine::Rts, false));
  EXPECT_FALSE(reader.rts());
  EXPECT_TRUE(reader.SetLine(OutputLine::Rts, false));  // a repeated level is accepted
  EXPECT_TRUE(reader.SetLine(OutputLine::Rts, true));
  EXPECT_TRUE(reader.SetLine(OutputLine::Dtr, true));
  EXPECT_TRUE(reader.SetLine(OutputLine::Txd, false));
  EXPECT_FALSE(reader.txd());
  EXPECT_TRUE(reader.dtr());
  EXPECT_TRUE(reader.rts());
}

TEST(ReaderLinesTest, EveryArrangementAndInputCarriesTheBusOnBothWirings) {
  for (const Wiring wiring : {Wiring::Standard, Wiring::InSitu}) {
    for (int32_t arrangement = 0; arrangement < 6; ++arrangement) {
      for (int32_t input = 0; input < 4; ++input) {
        SimConfig config = Fitted(k24C02, 0, wiring);
        config.outputArrangement = arrangement;
        config.sdaInput = input;
        Rig rig(config);
        rig.lines.PowerOn();
        // Only the chosen input (CTS, DSR, RING, DCD) carries SDA; the bus is idle high.
        const InputLevels only =
            InputLevels::Of({std::array{InputLine::Cts, InputLine::Dsr, InputLine::Ring,
                                        InputLine::Dcd}[static_cast<size_t>(input)]});
        EXPECT_EQ(rig.reader.Inputs(), wiring == Wiring::Standard ? only : InputLevels{});
        const auto value = static_cast<uint8_t>(arrangement * 16 + input);
        EXPECT_EQ(rig.io.WriteByte(0x42, value), BlockResult::Ok);
        rig.lines.PowerOff();
        const std::vector<uint8_t> data = rig.ReadAll();
        EXPECT_EQ(data[0x42], value) << arrangement << " " << input;
        EXPECT_EQ(data[0x41], 0xFF);
      }
    }
  }
}

TEST(ReaderLinesTest, ProgramWiredDifferentlyFromTheReaderGetsNoAnswer) {
  SimConfig config = Fitted(k24C02);
  config.outputArrangement = 3;  // Valim on RTS, SCL on DTR, SDA on TxD
  Rig rig(config);
  rig.map.SetOutputArrangement(0);
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x10, 0x20), BlockResult::NoDeviceAck);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x10], 0xFF);
}

TEST(ReaderLinesTest, InSituAdapterInvertsSclAndSdaButNotValim) {
  Rig rig(Fitted(k24C02, 0, Wiring::InSitu));
  rig.lines.PowerOn();
  EXPECT_FALSE(rig.reader.dtr());
  EXPECT_FALSE(rig.reader.rts());
  EXPECT_TRUE(rig.reader.txd());
  EXPECT_TRUE(rig.reader.valim());
  EXPECT_TRUE(rig.reader.scl());
  EXPECT_TRUE(rig.reader.sda());
  EXPECT_EQ(rig.reader.Inputs(), InputLevels{});  // SDA high reaches CTS inverted
  rig.lines.PowerOff();
  // At rest the adapter holds both bus lines of the target low.
  EXPECT_TRUE(rig.reader.dtr());
  EXPECT_TRUE(rig.reader.rts());
  EXPECT_FALSE(rig.reader.txd());
  EXPECT_FALSE(rig.reader.valim());
  EXPECT_FALSE(rig.reader.scl());
  EXPECT_FALSE(rig.reader.sda());
}

TEST(ReaderLinesTest, ReaderWithoutMemoryReadsSdaBackAsTheMasterDrivesIt) {
  for (const Wiring wiring : {Wiring::Standard, Wiring::InSitu}) {
    SimConfig config = Fitted(k24C02, 0, wiring);
    config.absent = true;
    Rig rig(config);
    rig.lines.PowerOn();
    rig.lines.SetSdaLow();
    EXPECT_EQ(rig.lines.ReadSda(), 0);
    EXPECT_EQ(rig.reader.Inputs()[InputLine::Cts], wiring == Wiring::InSitu);
    rig.lines.SetSdaHigh();
    EXPECT_EQ(rig.lines.ReadSda(), 1);
    EXPECT_EQ(rig.reader.Inputs()[InputLine::Cts], wiring == Wiring::Standard);
    EXPECT_FALSE(rig.bus.SendByte(0xA0));
    rig.lines.PowerOff();
    EXPECT_EQ(rig.reader.counters().starts, 0U);
  }
}

TEST(ReaderLinesTest, NoReaderReadsZeroOnEveryInputWhateverTheLines) {
  SimConfig config = Fitted(k24C02);
  config.noReader = true;
  SimulatedReader reader(config);
  using enum OutputLine;
  const std::pair<OutputLine, bool> changes[] = {
      {Txd, true}, {Dtr, true}, {Rts, true}, {Dtr, false}, {Rts, false}, {Txd, false}, {Dtr, true}};
  for (const auto& [line, asserted] : changes) {
    InputLevels inputs = InputLevels::Of({InputLine::Cts, InputLine::Dcd});
    EXPECT_TRUE(reader.SetLine(line, asserted));
    EXPECT_TRUE(reader.ReadInputs(inputs));
    EXPECT_EQ(inputs, InputLevels{});
  }
  EXPECT_TRUE(reader.dtr());  // the port's own lines still switch
  EXPECT_FALSE(reader.valim());
}

TEST(ReaderPortTest, PulledOutPortFailsEveryCallFromTheNthOn) {
  SimConfig config = Fitted(k24C02);
  config.faults.pullOutCall = 4;
  SimulatedReader reader(config);
  InputLevels inputs;
  EXPECT_TRUE(reader.SetLine(OutputLine::Txd, true));  // 1
  EXPECT_TRUE(reader.ReadInputs(inputs));              // 2
  EXPECT_EQ(inputs, InputLevels::Of({InputLine::Cts}));
  EXPECT_TRUE(reader.SetLine(OutputLine::Dtr, false));  // 3
  EXPECT_FALSE(reader.SetLine(OutputLine::Dtr, true));  // 4: gone
  EXPECT_FALSE(reader.dtr());
  inputs = InputLevels::Of({InputLine::Ring});
  EXPECT_FALSE(reader.ReadInputs(inputs));
  EXPECT_EQ(inputs, InputLevels::Of({InputLine::Ring}));  // left as it was
  EXPECT_FALSE(reader.SetLine(OutputLine::Txd, false));
  EXPECT_TRUE(reader.txd());
  EXPECT_EQ(reader.calls(), 6U);
}

TEST(ReaderPortTest, PortPulledOutDuringATransferIsNoticedByThePrimitives) {
  Rig rig(Fitted(k24C02));
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(1, 1), BlockResult::Ok);
  EXPECT_FALSE(rig.lines.PortFailed());
  rig.reader.faults().pullOutCall = rig.reader.calls() + 100;
  std::vector<uint8_t> data(256);
  (void)rig.io.SequentialRead(data.data(), true, {});
  EXPECT_TRUE(rig.lines.PortFailed());
  rig.reader.faults().pullOutCall = 0;  // plugged back in
  rig.lines.ClearPortFailure();
  rig.lines.PowerOff();
  EXPECT_FALSE(rig.lines.PortFailed());
}

TEST(ReaderClockTest, CallsCostTheirTimeAndSleepItsMilliseconds) {
  SimulatedReader reader(Fitted(k24C02));
  InputLevels inputs;
  EXPECT_EQ(reader.clock(), 0U);
  EXPECT_TRUE(reader.SetLine(OutputLine::Rts, true));
  EXPECT_TRUE(reader.ReadInputs(inputs));
  EXPECT_EQ(reader.clock(), 2 * sim::kDefaultCallCostNs);
  reader.Sleep(20);
  EXPECT_EQ(reader.clock(), 2 * sim::kDefaultCallCostNs + 20'000'000U);
  reader.SetCallCost(100);
  EXPECT_TRUE(reader.SetLine(OutputLine::Rts, true));
  EXPECT_EQ(reader.clock(), 2 * sim::kDefaultCallCostNs + 20'000'000U + 100U);
  EXPECT_EQ(reader.calls(), 4U);
}

TEST(ReaderClockTest, SlowerPortsNeedFewerPolls) {
  // The write cycle runs on the simulated clock, so a port ten times slower sees the memory
  // busy for about a tenth as many polls.
  uint64_t refused[2] = {};
  for (int i = 0; i < 2; ++i) {
    SimConfig config = Fitted(k24C02);
    config.callCostNs = i == 0 ? 2'000 : 20'000;
    Rig rig(config);
    rig.lines.PowerOn();
    EXPECT_EQ(rig.io.WriteByte(0x10, 0x01), BlockResult::Ok);
    rig.lines.PowerOff();
    refused[i] = rig.reader.counters().pollsRefused;
  }
  EXPECT_NEAR(static_cast<double>(refused[0]), 5e6 / (53 * 2'000.0), 1.5);
  EXPECT_NEAR(static_cast<double>(refused[1]), 5e6 / (53 * 20'000.0), 1.5);
}

}  // namespace
}  // namespace keldar
