// The bit-bang port and the stream executor against the FT232R as FTDI documents it: TXD D0,
// RTS# D2, DTR# D4 driven, CTS# D3, DSR# D5, DCD# D6, RI# D7 read; an asserted line (or TxD in
// break) is a low pin; one sample comes back for every byte. The expectations are written from
// that table, not from the port's constants.
#include "hw/bitbang_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "i2c/line_executor.h"
#include "i2c/stream_executor.h"
#include "sim/recording_port.h"

namespace keldar {
namespace {

// Records the set-up and every byte; answers each byte with the next scripted sample (`steady`
// once the script is out). Its clock runs 1/16 of a baud per byte collected, or a fixed tick.
class ScriptedLink final : public BitBangLink {
 public:
  struct Log {
    std::vector<uint8_t> bytes;
    uint8_t outputs = 0;
    uint32_t baud = 0;
    std::deque<uint8_t> samples;
    uint8_t steady = 0xFF;
    uint64_t fixedTickNs = 0;  // 0: the tick follows the baud rate
    size_t mostInFlight = 0;
    size_t largestTransfer = 0;
    size_t submitted = 0;
    size_t collected = 0;
  };
  explicit ScriptedLink(Log& log) : log_(log) {}
  bool Purge() override { return true; }
  bool SetLatencyTimer(uint8_t) override { return true; }
  bool SetBitMode(uint8_t outputs) override { return (log_.outputs = outputs) != 0; }
  bool SetBaudRate(uint32_t baud) override { return (log_.baud = baud) != 0; }
  bool Submit(std::span<const uint8_t> bytes) override {
    log_.bytes.insert(log_.bytes.end(), bytes.begin(), bytes.end());
    log_.largestTransfer = std::max(log_.largestTransfer, bytes.size());
    log_.submitted += bytes.size();
    log_.mostInFlight = std::max(log_.mostInFlight, log_.submitted - log_.collected);
    return true;
  }
  bool Collect(std::span<uint8_t> samples) override {
    for (uint8_t& sample : samples) {
      sample = log_.samples.empty() ? log_.steady : log_.samples.front();
      if (!log_.samples.empty()) log_.samples.pop_front();
    }
    log_.collected += samples.size();
    now_ += samples.size() *
            (log_.fixedTickNs != 0 ? log_.fixedTickNs : 1'000'000'000U / (16U * log_.baud));
    return true;
  }
  void Pause(uint32_t) override {}
  uint64_t NowNs() override { return now_; }

 private:
  Log& log_;
  uint64_t now_ = 0;
};

std::unique_ptr<BitBangPort> Started(ScriptedLink::Log& log) {
  auto port = std::make_unique<BitBangPort>(std::make_unique<ScriptedLink>(log));
  EXPECT_EQ(port->Start(200'000), BitBangPort::StartOutcome::Started);
  log.bytes.clear();
  return port;
}

TEST(BitBangPortTest, OpensOnIdleBytesOnlyAndMeasuresTheRate) {
  ScriptedLink::Log log;
  auto port = std::make_unique<BitBangPort>(std::make_unique<ScriptedLink>(log));
  ASSERT_EQ(port->Start(200'000), BitBangPort::StartOutcome::Started);
  EXPECT_EQ(log.outputs, 0x15);  // D0, D2 and D4 driven
  EXPECT_EQ(log.baud, 12'500U);  // 200 kHz is the 16x clock of 12500 baud
  ASSERT_FALSE(log.bytes.empty());
  EXPECT_EQ(std::count(log.bytes.begin(), log.bytes.end(), 0xFF), std::ssize(log.bytes))
      << "every output at its idle level: the reader unpowered, no bus activity";
  EXPECT_NEAR(port->measuredRate(), 200'000, 200);
}

TEST(BitBangPortTest, AClockThatStaysFasterThanAskedIsRefused) {
  ScriptedLink::Log log;
  log.fixedTickNs = 1'000;  // 1 MHz whatever the divisor
  BitBangPort port(std::make_unique<ScriptedLink>(log));
  EXPECT_EQ(port.Start(200'000), BitBangPort::StartOutcome::ClockTooFast);
}

TEST(BitBangPortTest, EachLineChangeIsOneByteWithItsPinLowWhenAsserted) {
  ScriptedLink::Log log;
  auto port = Started(log);
  using enum OutputLine;
  const std::pair<OutputLine, bool> changes[] = {{Txd, true},  {Rts, true},  {Dtr, true},
                                                 {Txd, false}, {Rts, false}, {Dtr, false},
                                                 {Rts, true},  {Rts, true}};
  for (const auto& [line, asserted] : changes)
    EXPECT_TRUE(port->SetLine(line, asserted));
  EXPECT_EQ(log.bytes, (std::vector<uint8_t>{0xFE, 0xFA, 0xEA, 0xEB, 0xEF, 0xFF, 0xFB, 0xFB}));
}

TEST(BitBangPortTest, EachSampleAskedForIsItsOwnBytesAnswer) {
  ScriptedLink::Log log;
  auto port = Started(log);
  // The samples of the next bytes: RTS asserted, then five holds, each with one input low.
  log.samples = {0x00, 0xF7, 0xFF, 0xDF, 0xBF, 0x7F};
  port->QueueChange(OutputLine::Rts, true);
  port->QueueHold(true);
  port->QueueHold(false);
  for (int i = 0; i < 3; ++i)
    port->QueueHold(true);
  InputLevels cts, dsr, dcd, ring;
  EXPECT_TRUE(port->NextSample(cts));
  EXPECT_TRUE(port->NextSample(dsr));
  EXPECT_TRUE(port->NextSample(dcd));
  EXPECT_TRUE(port->NextSample(ring));
  EXPECT_FALSE(port->NextSample(ring)) << "no more asked for";
  EXPECT_EQ(cts, InputLevels::Of({InputLine::Cts}));
  EXPECT_EQ(dsr, InputLevels::Of({InputLine::Dsr}));
  EXPECT_EQ(dcd, InputLevels::Of({InputLine::Dcd}));
  EXPECT_EQ(ring, InputLevels::Of({InputLine::Ring}));
  // A hold drives the outputs as they are: RTS stays asserted.
  EXPECT_EQ(log.bytes, (std::vector<uint8_t>{0xFB, 0xFB, 0xFB, 0xFB, 0xFB, 0xFB}));
}

// Never more than the chip's 128-byte receive buffer written and not read back, in transfers of
// 64 bytes at most, however long the stream.
TEST(BitBangPortTest, KeepsAtMost128BytesInFlightIn64ByteTransfers) {
  ScriptedLink::Log log;
  auto port = Started(log);
  log.mostInFlight = log.largestTransfer = 0;
  for (int i = 0; i < 10'000; ++i)
    port->QueueHold(i % 3 == 0);
  InputLevels sample;
  for (int i = 0; i < 10'000; i += 3)
    ASSERT_TRUE(port->NextSample(sample));
  EXPECT_TRUE(port->Flush());
  EXPECT_EQ(log.bytes.size(), 10'000U);
  EXPECT_LE(log.mostInFlight, 128U);
  EXPECT_LE(log.largestTransfer, 64U);
}

// The pin a change drives, per the table above: TxD, DTR, RTS.
constexpr uint8_t kPins[] = {0x01, 0x10, 0x04};

// The stream executor sends, byte for byte, the line-level executor's port calls: each line
// change one byte with its pin low when asserted, each status read one byte that holds them.
TEST(StreamExecutorTest, StreamsTheLineLevelCallsOneByteEach) {
  for (const bool inSitu : {false, true}) {
    LineMap map;
    if (inSitu) map.ApplyInSituPreset();
    map.SetOutputArrangement(3);
    map.accessTime = 2;
    const std::array<uint8_t, 2> address{0x12, 0x34};
    const std::array<uint8_t, 3> data{0x00, 0xA5, 0xFF};
    Segment write;
    write.control = 0xA0;
    write.address = address;
    write.data = data;
    const Transaction transaction{true, {&write, 1}, nullptr};

    sim::RecordingPort recorded;  // SDA read low, through the adapter's inverter too
    if (inSitu) recorded.SetSteadyInputs(InputLevels::Of({InputLine::Cts}));
    LineExecutor lineLevel(map, recorded);
    ASSERT_FALSE(lineLevel.Execute(transaction).refused);
    std::vector<uint8_t> expected;
    uint8_t pins = 0xFF;
    for (const sim::PortEvent& e : recorded.events()) {
      if (e.kind == sim::PortEvent::Kind::Line) {
        const uint8_t pin = kPins[static_cast<size_t>(e.line)];
        pins = static_cast<uint8_t>(e.asserted ? pins & ~pin : pins | pin);
      }
      expected.push_back(pins);
    }

    ScriptedLink::Log log;
    // The samples read SDA low as well: every byte acknowledged.
    log.steady = inSitu ? 0xF7 : 0xFF;
    auto port = Started(log);
    StreamExecutor stream(map, *port);
    EXPECT_FALSE(stream.Execute(transaction).refused);
    EXPECT_EQ(log.bytes, expected) << (inSitu ? "in situ" : "standard");
  }
}

}  // namespace
}  // namespace keldar
