// Image files that keep a simulated memory between runs, and the VCD trace of its bus.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../data/temp_dir.h"
#include "i2c/line_executor.h"
#include "sim/vcd_writer.h"
#include "sim_rig.h"

namespace keldar {
namespace {

using sim::OpenSimulatedPort;
using testing::TempDir;

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Spit(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ImageFileTest, MissingImageIsAFreshMemorySavedWhenThePortCloses) {
  TempDir dir;
  const std::string path = (dir / "m.bin").string();
  const std::string device = "sim:24C02,image=" + path;
  std::string error;
  {
    auto reader = OpenSimulatedPort(device, error);
    ASSERT_NE(reader, nullptr) << error;
    for (const uint8_t cell : reader->memory())
      ASSERT_EQ(cell, 0xFF);
    LineMap map;
    LineExecutor lines(map, *reader);
    CurrentMemory memory;
    memory.Select(2);
    BlockIo io(lines, memory);
    lines.lines().PowerOn();
    EXPECT_EQ(io.WriteByte(0x00, 0x11), BlockResult::Ok);
    EXPECT_EQ(io.WriteByte(0xFF, 0x22), BlockResult::Ok);
    lines.PowerOff();
    EXPECT_FALSE(std::filesystem::exists(path));  // written only when the port closes
  }
  std::string expected(256, '\xFF');
  expected[0] = '\x11';
  expected[255] = '\x22';
  EXPECT_EQ(Slurp(path), expected);
  EXPECT_EQ(dir.Names(), (std::set<std::string>{"m.bin"}));  // no temporary file left

  {
    auto reader = OpenSimulatedPort(device, error);
    ASSERT_NE(reader, nullptr) << error;
    EXPECT_EQ(reader->memory()[0], 0x11);
    EXPECT_EQ(reader->memory()[255], 0x22);
    reader->memory()[1] = 0x33;
  }
  expected[1] = '\x33';
  EXPECT_EQ(Slurp(path), expected);
}

TEST(ImageFileTest, ImageOfTheWrongSizeIsRefusedAndLeftAlone) {
  TempDir dir;
  const std::string path = (dir / "small.bin").string();
  const std::string old(100, 'x');
  Spit(path, old);
  std::string error;
  EXPECT_EQ(OpenSimulatedPort("sim:24C02,image=" + path, error), nullptr);
  EXPECT_EQ(error, "L'image « " + path + " » fait 100 octets ; une mémoire 24C02 en contient 256.");
  EXPECT_EQ(Slurp(path), old);

  error.clear();
  EXPECT_EQ(OpenSimulatedPort("sim:24C02,image=" + dir.path().string(), error), nullptr);
  EXPECT_EQ(error, "L'image « " + dir.path().string() + " » n'est pas un fichier.");
}

TEST(ImageFileTest, SaveThatCannotBeMadeIsReported) {
  TempDir dir;
  const std::string path = (dir / "missing" / "m.bin").string();
  std::string error;
  auto reader = OpenSimulatedPort("sim:24C01,image=" + path, error);
  ASSERT_NE(reader, nullptr) << error;
  EXPECT_FALSE(reader->SaveImage(error));
  EXPECT_EQ(error, "Impossible d'enregistrer l'image « " + path + " ».");
  EXPECT_TRUE(dir.Names().empty());
}

// What a logic analyser's I2C decoder makes of the trace: starts, stops, bytes with their ninth
// bit ('+' acknowledged, '-' not).
struct Decoded {
  std::string timescale;
  std::vector<std::string> vars;
  std::string items;
  bool monotonic = true;
  bool onlyChanges = true;
  bool valimFirst = false;
};

Decoded DecodeVcd(const std::string& text) {
  Decoded d;
  std::istringstream in(text);
  std::string line;
  bool dumpvars = false, body = false;
  int level[3] = {-1, -1, -1};  // C D V
  long long lastTime = -1;
  int bits = 0, value = 0;
  bool inFrame = false;
  auto index = [](char id) { return id == 'C' ? 0 : id == 'D' ? 1 : id == 'V' ? 2 : -1; };
  while (std::getline(in, line)) {
    if (line.rfind("$timescale", 0) == 0) d.timescale = line;
    if (line.rfind("$var", 0) == 0) d.vars.push_back(line);
    if (line == "$dumpvars") {
      dumpvars = true;
      continue;
    }
    if (dumpvars && line == "$end") {
      dumpvars = false;
      body = true;
      continue;
    }
    if (line.empty()) continue;
    if (line[0] == '#') {
      const long long t = std::stoll(line.substr(1));
      if (t <= lastTime) d.monotonic = false;
      lastTime = t;
      continue;
    }
    if ((!dumpvars && !body) || line.size() != 2) continue;
    const int i = index(line[1]);
    const int v = line[0] - '0';
    if (dumpvars) {
      level[i] = v;
      continue;
    }
    if (level[i] == v) d.onlyChanges = false;
    if (i == 2 && v == 1 && d.items.empty()) d.valimFirst = true;
    const int scl = level[0];
    if (i == 1 && scl == 1) {  // SDA moving while SCL is high
      if (v == 0) {
        d.items += "S ";
        inFrame = true;
        bits = value = 0;
      } else {
        d.items += "P ";
        inFrame = false;
      }
    }
    if (i == 0 && v == 1 && inFrame) {  // SCL rising: a bit
      if (bits < 8) {
        value = value * 2 + level[1];
        ++bits;
      } else {
        char byte[8];
        std::snprintf(byte, sizeof byte, "%02X%c ", value, level[1] == 0 ? '+' : '-');
        d.items += byte;
        bits = value = 0;
      }
    }
    level[i] = v;
  }
  return d;
}

TEST(VcdTest, TraceIsAValidDumpThatDecodesAsTheBytesOnTheBus) {
  TempDir dir;
  const std::string path = (dir / "bus.vcd").string();
  std::string error;
  {
    auto reader = OpenSimulatedPort("sim:24C16,vcd=" + path, error);
    ASSERT_NE(reader, nullptr) << error;
    LineMap map;
    LineExecutor lines(map, *reader);
    CurrentMemory memory;  // 24C16, base 0
    BlockIo io(lines, memory);
    lines.lines().PowerOn();
    EXPECT_EQ(io.WriteByte(0x5A3, 0x42), BlockResult::Ok);
    lines.PowerOff();
  }
  const std::string text = Slurp(path);
  EXPECT_EQ(text.rfind("$version keldar simulated reader $end\n$timescale 1 us $end\n"
                       "$scope module reader $end\n"
                       "$var wire 1 C SCL $end\n$var wire 1 D SDA $end\n"
                       "$var wire 1 V VALIM $end\n$upscope $end\n$enddefinitions $end\n"
                       "#0\n$dumpvars\n1C\n1D\n0V\n$end\n",
                       0),
            0U)
      << text.substr(0, 400);
  const Decoded d = DecodeVcd(text);
  EXPECT_TRUE(d.monotonic);
  EXPECT_TRUE(d.onlyChanges);
  EXPECT_TRUE(d.valimFirst);
  // The write, refused polls while the cycle runs, then the answered poll.
  const std::string write = "S AA+ A3+ 42+ P ";
  const std::string refused = "S A0- P ";
  const std::string answered = "S A0+ P ";
  ASSERT_EQ(d.items.rfind(write, 0), 0U) << d.items;
  std::string polls = d.items.substr(write.size());
  ASSERT_GE(polls.size(), answered.size());
  EXPECT_EQ(polls.substr(polls.size() - answered.size()), answered) << d.items;
  polls.resize(polls.size() - answered.size());
  EXPECT_GT(polls.size(), 0U);
  for (size_t at = 0; at < polls.size(); at += refused.size()) {
    EXPECT_EQ(polls.substr(at, refused.size()), refused) << d.items;
  }
}

TEST(VcdTest, TimescaleFollowsTheCallCostAndAnUncreatableTraceIsRefused) {
  EXPECT_EQ(sim::VcdWriter::UnitFor(4'000), 1000U);
  EXPECT_EQ(sim::VcdWriter::UnitFor(1'999), 100U);
  EXPECT_EQ(sim::VcdWriter::UnitFor(20), 10U);
  EXPECT_EQ(sim::VcdWriter::UnitFor(1), 1U);
  TempDir dir;
  const std::string path = (dir / "t.vcd").string();
  std::string error;
  { ASSERT_NE(OpenSimulatedPort("sim:24C02,cost=20,vcd=" + path, error), nullptr) << error; }
  EXPECT_NE(Slurp(path).find("$timescale 10 ns $end\n"), std::string::npos);

  const std::string bad = (dir / "no" / "t.vcd").string();
  EXPECT_EQ(OpenSimulatedPort("sim:24C02,vcd=" + bad, error), nullptr);
  EXPECT_EQ(error, "Impossible de créer le fichier de trace « " + bad + " ».");
}

}  // namespace
}  // namespace keldar
