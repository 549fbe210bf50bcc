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

  for (int32_t code : {SETBREAK, SETRTS, SETDTR, CLRBREAK, CLRRTS, CLRDTR, SETRTS, SETRTS})
    EXPECT_TRUE(port->EscapeCommFunction(code));
  EXPECT_FALSE(port->EscapeCommFunction(7));  // no line behind it: no byte either
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
  EXPECT_TRUE(port->EscapeCommFunction(SETRTS));
  uint32_t cts = 0, dsr = 0, dcd = 0, ring = 0;
  EXPECT_TRUE(port->GetCommModemStatusLater(cts));
  EXPECT_TRUE(port->GetCommModemStatusLater(dsr));
  EXPECT_TRUE(port->GetCommModemStatusLater(dcd));
  EXPECT_TRUE(port->GetCommModemStatusLater(ring));
  EXPECT_EQ(cts, 0U);  // answered at the flush, not before
  uint32_t now = 0;
  EXPECT_TRUE(port->GetCommModemStatus(now));  // flushes
  EXPECT_EQ(cts, MS_CTS_ON);
  EXPECT_EQ(dsr, MS_DSR_ON);
  EXPECT_EQ(dcd, MS_RLSD_ON);
  EXPECT_EQ(ring, MS_RING_ON);
  EXPECT_EQ(now, MS_CTS_ON | MS_DSR_ON | MS_RING_ON);
  // A status read drives the outputs as they are: RTS stays asserted.
  EXPECT_EQ(log.bytes, (std::vector<uint8_t>{0xFF, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB}));
}

}  // namespace
}  // namespace keldar
