// The bit-bang port's bytes against the FT232R's pins as FTDI documents them: TXD D0, RTS# D2,
// DTR# D4 driven, CTS# D3, DSR# D5, DCD# D6, RI# D7 read; an asserted line (or TxD in break) is
// a low pin. The expectations are written from that table, not from the port's constants.
#include "hw/bitbang_port.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace keldar {
namespace {

// Records the set-up and every byte; answers each byte with the next scripted sample (0xFF once
// the script is out), whatever was driven.
class ScriptedLink final : public BitBangLink {
 public:
  struct Log {
    std::vector<uint8_t> bytes;
    uint8_t outputs = 0;
    uint32_t baud = 0;
    std::deque<uint8_t> samples;
  };
  explicit ScriptedLink(Log& log) : log_(log) {}
  bool Purge() override { return true; }
  bool SetLatencyTimer(uint8_t) override { return true; }
  bool SetBitMode(uint8_t outputs) override {
    log_.outputs = outputs;
    return true;
  }
  bool SetBaudRate(uint32_t baud) override {
    log_.baud = baud;
    return true;
  }
  bool Submit(std::span<const uint8_t> bytes) override {
    log_.bytes.insert(log_.bytes.end(), bytes.begin(), bytes.end());
    return true;
  }
  bool Collect(std::span<uint8_t> samples) override {
    for (uint8_t& sample : samples) {
      sample = log_.samples.empty() ? 0xFF : log_.samples.front();
      if (!log_.samples.empty()) log_.samples.pop_front();
    }
    return true;
  }
  void Pause(uint32_t) override {}

 private:
  Log& log_;
};

TEST(BitBangPortTest, EachLineChangeIsOneByteWithItsPinLowWhenAsserted) {
  ScriptedLink::Log log;
  auto port = StartBitBangPort(std::make_unique<ScriptedLink>(log), 200'000);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(log.outputs, 0x15);                      // D0, D2 and D4 driven
  EXPECT_EQ(log.baud, 12'500U);                      // 200 kHz is the 16x clock of 12500 baud
  EXPECT_EQ(log.bytes, std::vector<uint8_t>{0xFF});  // every output at its idle level

  using enum OutputLine;
  const std::pair<OutputLine, bool> changes[] = {{Txd, true},  {Rts, true},  {Dtr, true},
                                                 {Txd, false}, {Rts, false}, {Dtr, false},
                                                 {Rts, true},  {Rts, true}};
  for (const auto& [line, asserted] : changes)
    EXPECT_TRUE(port->SetLine(line, asserted));
  port->Sleep(1);
  EXPECT_EQ(log.bytes,
            (std::vector<uint8_t>{0xFF, 0xFE, 0xFA, 0xEA, 0xEB, 0xEF, 0xFF, 0xFB, 0xFB}));
}

TEST(BitBangPortTest, EachStatusReadIsOneByteAnsweredByItsOwnSample) {
  ScriptedLink::Log log;
  auto port = StartBitBangPort(std::make_unique<ScriptedLink>(log), 200'000);
  ASSERT_NE(port, nullptr);
  // The samples of the next bytes: SETRTS, then five status reads, each with one input low.
  log.samples = {0x00, 0xF7, 0xDF, 0xBF, 0x7F, 0x57};
  EXPECT_TRUE(port->SetLine(OutputLine::Rts, true));
  InputLevels cts, dsr, dcd, ring;
  EXPECT_TRUE(port->ReadInputsLater(cts));
  EXPECT_TRUE(port->ReadInputsLater(dsr));
  EXPECT_TRUE(port->ReadInputsLater(dcd));
  EXPECT_TRUE(port->ReadInputsLater(ring));
  EXPECT_EQ(cts, InputLevels{});  // answered at the flush, not before
  InputLevels now;
  EXPECT_TRUE(port->ReadInputs(now));  // flushes
  EXPECT_EQ(cts, InputLevels::Of({InputLine::Cts}));
  EXPECT_EQ(dsr, InputLevels::Of({InputLine::Dsr}));
  EXPECT_EQ(dcd, InputLevels::Of({InputLine::Dcd}));
  EXPECT_EQ(ring, InputLevels::Of({InputLine::Ring}));
  EXPECT_EQ(now, InputLevels::Of({InputLine::Cts, InputLine::Dsr, InputLine::Ring}));
  // A status read drives the outputs as they are: RTS stays asserted.
  EXPECT_EQ(log.bytes, (std::vector<uint8_t>{0xFF, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB}));
}

}  // namespace
}  // namespace keldar
