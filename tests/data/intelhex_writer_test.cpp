#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data/buffer.h"
#include "data/fills.h"
#include "data/intelhex.h"
#include "i2c/catalogue.h"
#include "temp_dir.h"

namespace keldar {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

class IntelHexWriter : public ::testing::Test {
 protected:
  std::string Write(uint32_t count, uint32_t recordLength = kIntelHexRecordBytes) {
    EXPECT_EQ(WriteIntelHex(dir_ / "out.hex", *buffer_, count, recordLength), SaveResult::Ok);
    return testing::ReadFile(dir_ / "out.hex");
  }

  testing::TempDir dir_;
  std::unique_ptr<Buffer> buffer_ = std::make_unique<Buffer>();
};

TEST_F(IntelHexWriter, A24C00FullOfFFGivesOneRecordAndTheEndRecord) {
  buffer_->fill(0xFF);
  EXPECT_EQ(Write(16),
            ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"
            ":00000001FF\r\n");
}

TEST_F(IntelHexWriter, IncrementingFillRecords) {
  FillIncrementing(*buffer_, 2048);
  const std::vector<std::string> lines = Lines(Write(2048));
  ASSERT_EQ(lines.size(), 2048U / 16 + 1);
  EXPECT_EQ(lines[1], ":10001000101112131415161718191A1B1C1D1E1F68\r");
  EXPECT_EQ(lines[127], ":1007F000F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF81\r");
  EXPECT_EQ(lines[128], ":00000001FF\r");
  // The second record is the same for every memory from the 24C01 up.
  EXPECT_EQ(Lines(Write(128))[1], lines[1]);
}

TEST_F(IntelHexWriter, LastRecordOfA24C512StartsAtFFF0) {
  FillDecrementing(*buffer_, 65536);
  const std::vector<std::string> lines = Lines(Write(65536));
  ASSERT_EQ(lines.size(), 4097U);
  EXPECT_EQ(lines[4095].substr(0, 9), ":10FFF000");
}

TEST_F(IntelHexWriter, AboveSixtyFourKiBEachSegmentOpensWithItsLinearAddress) {
  const std::vector<std::string> lines = Lines(Write(262144));
  ASSERT_EQ(lines.size(), 16384U + 3 + 1);
  EXPECT_EQ(lines[4096], ":020000040001F9\r");
  EXPECT_EQ(lines[4097].substr(0, 9), ":10000000");
  EXPECT_EQ(lines[3 * 4096 + 2], ":020000040003F7\r");
  // Records of 24 bytes: the one that would cross 64 KiB is cut there.
  const std::vector<std::string> cut = Lines(Write(65536 + 48, 24));
  EXPECT_EQ(cut[65536 / 24].substr(0, 9), ":10FFF000");
  EXPECT_EQ(cut[65536 / 24 + 2].substr(0, 9), ":18000000");
}

TEST_F(IntelHexWriter, EveryCapacityReadsBackExactly) {
  RandomSource random(99);
  for (const MemoryType& type : kMemoryTypes) {
    SCOPED_TRACE(type.name);
    FillRandom(*buffer_, kBufferBytes, random);
    Write(type.capacity);
    auto readBack = std::make_unique<Buffer>();
    readBack->fill(0x5A);
    const IntelHexResult result = ReadIntelHex(dir_ / "out.hex", *readBack, kBufferBytes);
    EXPECT_EQ(result.code, IntelHexCode::Ok);
    EXPECT_EQ(result.loadedBytes, type.capacity);
    EXPECT_TRUE(std::equal(buffer_->begin(), buffer_->begin() + type.capacity, readBack->begin()));
    EXPECT_TRUE(std::all_of(readBack->begin() + type.capacity, readBack->end(),
                            [](uint8_t b) { return b == 0x5A; }));
  }
}

TEST_F(IntelHexWriter, CountNotAMultipleOfTheRecordLengthEndsWithAShortRecord) {
  FillIncrementing(*buffer_, 20);
  const std::vector<std::string> lines = Lines(Write(20));
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[1], ":0400100010111213A6\r");
}

TEST_F(IntelHexWriter, RecordLengthIsKeptWithinWhatTheReaderTakes) {
  FillIncrementing(*buffer_, 64);
  EXPECT_EQ(Lines(Write(64, 32)).size(), 3U);
  EXPECT_EQ(Lines(Write(64, 200)).size(), 3U);
  EXPECT_EQ(Lines(Write(64, 0)).size(), 65U);
}

TEST_F(IntelHexWriter, CountAboveTheSourceStopsAtItsEnd) {
  const std::array<uint8_t, 4> small{1, 2, 3, 4};
  ASSERT_EQ(WriteIntelHex(dir_ / "small.hex", small, 65536), SaveResult::Ok);
  EXPECT_EQ(testing::ReadFile(dir_ / "small.hex"), ":0400000001020304F2\r\n:00000001FF\r\n");
}

}  // namespace
}  // namespace keldar
