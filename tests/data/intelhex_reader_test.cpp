#include "data/intelhex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "data/buffer.h"
#include "temp_dir.h"

namespace keldar {
namespace {

constexpr std::string_view kEnd = ":00000001FF\n";

// One record with a correct checksum, digits upper case.
std::string Record(uint32_t address, uint8_t type, const std::vector<uint8_t>& data) {
  const auto hex = [](uint32_t v) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string{kDigits[(v >> 4) & 15], kDigits[v & 15]};
  };
  uint32_t sum = static_cast<uint32_t>(data.size()) + (address >> 8) + (address & 0xFF) + type;
  std::string line = ":" + hex(static_cast<uint32_t>(data.size())) + hex(address >> 8) +
                     hex(address & 0xFF) + hex(type);
  for (const uint8_t byte : data) {
    line += hex(byte);
    sum += byte;
  }
  return line + hex((256 - (sum & 0xFF)) & 0xFF) + "\n";
}

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<uint8_t>(first + i);
  return bytes;
}

class IntelHexReader : public ::testing::Test {
 protected:
  IntelHexReader() { buffer_->fill(0xFF); }
  IntelHexResult Read(std::string_view text, uint32_t limit = kBufferBytes) {
    return ReadIntelHexText(text, *buffer_, limit);
  }
  // Addresses whose byte is no longer $FF.
  std::vector<uint32_t> Changed() const {
    std::vector<uint32_t> changed;
    for (uint32_t i = 0; i < kBufferBytes; ++i) {
      if (buffer_->at(i) != 0xFF) changed.push_back(i);
    }
    return changed;
  }
  uint8_t At(uint32_t address) const { return buffer_->at(address); }

  std::unique_ptr<Buffer> buffer_ = std::make_unique<Buffer>();
};

TEST_F(IntelHexReader, StoresOneRecordAndNothingElse) {
  const IntelHexResult result = Read(std::string(":0300300002337A1E\n") + std::string(kEnd));
  EXPECT_EQ(result.code, IntelHexCode::Ok);
  EXPECT_TRUE(result.opened());
  EXPECT_EQ(result.loadedBytes, 3U);
  EXPECT_EQ(Changed(), (std::vector<uint32_t>{0x30, 0x31, 0x32}));
  EXPECT_EQ(At(0x30), 0x02);
  EXPECT_EQ(At(0x31), 0x33);
  EXPECT_EQ(At(0x32), 0x7A);
}

TEST_F(IntelHexReader, AcceptsLowerCaseDigitsAndWindowsLineEnds) {
  const IntelHexResult result = Read(":0300300002337a1e\r\n:00000001ff\r\n");
  EXPECT_EQ(result.code, IntelHexCode::Ok);
  EXPECT_EQ(At(0x32), 0x7A);
}

TEST_F(IntelHexReader, ReadsToTheEndWithoutAnEndRecord) {
  const IntelHexResult result = Read(Record(0x10, 0, {1, 2}) + ":0100200005DA");
  EXPECT_EQ(result.code, IntelHexCode::Ok);
  EXPECT_EQ(result.loadedBytes, 3U);
  EXPECT_EQ(At(0x20), 0x05);
}

TEST_F(IntelHexReader, RecordSizesUpTo32Bytes) {
  EXPECT_EQ(Read(Record(0x100, 0, Bytes(32, 0x40))).code, IntelHexCode::Ok);
  EXPECT_EQ(At(0x11F), 0x5F);
  EXPECT_EQ(Read(Record(0x200, 0, Bytes(33, 0x40))).code, IntelHexCode::TooManyBytes);
  EXPECT_EQ(At(0x200), 0xFF);
}

TEST_F(IntelHexReader, RecordsMayEndExactlyAtTheLimit) {
  const std::string top = Record(0, 4, {0, 3});  // the buffer's last 64 KiB
  EXPECT_EQ(Read(top + Record(0xFFF0, 0, Bytes(16, 1))).code, IntelHexCode::Ok);
  EXPECT_EQ(At(0x3FFFF), 16);
  EXPECT_EQ(Read(top + Record(0xFFF1, 0, Bytes(16, 1))).code, IntelHexCode::BeyondLimit);

  EXPECT_EQ(Read(Record(0xF8, 0, Bytes(8, 1)), 0x100).code, IntelHexCode::Ok);
  EXPECT_EQ(Read(Record(0xF9, 0, Bytes(8, 1)), 0x100).code, IntelHexCode::BeyondLimit);
}

TEST_F(IntelHexReader, LimitAboveTheDestinationStopsAtItsEnd) {
  std::array<uint8_t, 48> area{};
  const std::span<uint8_t> destination(area.data() + 16, 16);
  EXPECT_EQ(ReadIntelHexText(Record(0, 0, Bytes(16, 1)), destination, kBufferBytes).code,
            IntelHexCode::Ok);
  EXPECT_EQ(ReadIntelHexText(Record(1, 0, Bytes(16, 1)), destination, kBufferBytes).code,
            IntelHexCode::BeyondLimit);
  EXPECT_EQ(area[15], 0);
  EXPECT_EQ(area[16], 1);
  EXPECT_EQ(area[31], 16);
  EXPECT_EQ(area[32], 0);
}

TEST_F(IntelHexReader, DataAboveTheActiveWindowIsLoaded) {
  EXPECT_EQ(Read(Record(0x1000, 0, {0xAB})).code, IntelHexCode::Ok);
  EXPECT_EQ(At(0x1000), 0xAB);
}

TEST_F(IntelHexReader, BlankLineBeforeTheEndRecordKeepsEarlierLines) {
  const IntelHexResult result = Read(Record(0, 0, {1}) + "\n" + std::string(kEnd));
  EXPECT_EQ(result.code, IntelHexCode::NoRecordMark);
  EXPECT_EQ(At(0), 1);
}

TEST_F(IntelHexReader, NothingAfterTheEndRecordIsRead) {
  const IntelHexResult result =
      Read(std::string(kEnd) + "\nnot a record\n" + Record(0, 0, {1}) + ":zz");
  EXPECT_EQ(result.code, IntelHexCode::Ok);
  EXPECT_TRUE(Changed().empty());
}

TEST_F(IntelHexReader, WrongChecksumKeepsTheLinesBeforeIt) {
  const IntelHexResult result =
      Read(Record(0, 0, {1, 2}) + ":0300300002337A1F\n" + Record(0x40, 0, {3}));
  EXPECT_EQ(result.code, IntelHexCode::BadChecksum);
  // The faulty record's bytes were decoded, so they count, but they were not copied.
  EXPECT_EQ(result.loadedBytes, 5U);
  EXPECT_EQ(Changed(), (std::vector<uint32_t>{0, 1}));
}

TEST_F(IntelHexReader, MissingChecksumKeepsTheLinesBeforeIt) {
  const IntelHexResult result = Read(Record(0, 0, {1}) + ":0300300002337A\n");
  EXPECT_EQ(result.code, IntelHexCode::NoChecksum);
  EXPECT_EQ(result.loadedBytes, 1U);
  EXPECT_EQ(At(0), 1);
}

TEST_F(IntelHexReader, AddressRecordsPlaceTheDataThatFollowsAndStartRecordsAreSkipped) {
  struct Case {
    std::string text;
    IntelHexCode code;
    uint32_t first;  // $A0, $A1, ... land from here on, and nothing else changes
    uint32_t count;
  };
  const auto data = [](uint32_t address, size_t count, uint8_t value = 0xA0) {
    return Record(address, 0, Bytes(count, value));
  };
  const std::string segment3FFF = Record(0, 2, {0x3F, 0xFF});  // $3FFF0: room for 16 bytes
  const Case cases[] = {
      {":020000040000FA\n" + data(0x10, 2) + std::string(kEnd), IntelHexCode::Ok, 0x10, 2},
      {segment3FFF + data(0, 16), IntelHexCode::Ok, 0x3FFF0, 16},
      {segment3FFF + data(1, 16), IntelHexCode::BeyondLimit, 0, 0},
      {data(0x20, 1) + Record(0, 4, {0, 4}) + data(0, 1), IntelHexCode::BeyondLimit, 0x20, 1},
      {data(0x61, 1, 0xA1) + ":0400000300120034B3\n" + data(0x60, 1), IntelHexCode::Ok, 0x60, 2},
      {Record(0, 4, {1}) + data(0, 1), IntelHexCode::BadByteCount, 0, 0},
      {data(0x70, 1) + Record(0, 6, {}) + data(0x71, 1, 0xA1), IntelHexCode::Ok, 0x70, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    buffer_->fill(0xFF);
    const IntelHexResult result = Read(c.text);
    EXPECT_EQ(result.code, c.code);
    std::vector<uint32_t> expected(c.count);
    std::iota(expected.begin(), expected.end(), c.first);
    EXPECT_EQ(Changed(), expected);
    for (uint32_t i = 0; i < c.count; ++i)
      EXPECT_EQ(At(c.first + i), 0xA0 + i);
    ASSERT_EQ(result.copied.has_value(), c.count > 0);
    if (c.count > 0) {
      EXPECT_EQ(result.copied->first, c.first);
      EXPECT_EQ(result.copied->last, c.first + c.count - 1);
    }
  }
}

TEST_F(IntelHexReader, EndRecordsAreChecksummedWithTheirData) {
  EXPECT_EQ(Read(":0400000512345678E3\n").code, IntelHexCode::Ok);
  EXPECT_EQ(Read(":0400000512345678E4\n").code, IntelHexCode::BadChecksum);
  EXPECT_EQ(Read(":00000001FE\n").code, IntelHexCode::BadChecksum);
}

TEST_F(IntelHexReader, EmptyInputLoadsNothing) {
  const IntelHexResult result = Read("");
  EXPECT_EQ(result.code, IntelHexCode::Ok);
  EXPECT_EQ(result.loadedBytes, 0U);
  EXPECT_TRUE(Changed().empty());
}

TEST_F(IntelHexReader, LineLongerThan79CharactersContinuesAsTheNextLine) {
  const std::string record = Record(0, 0, Bytes(32, 0x40));  // 75 characters and a line feed
  const std::string full = record.substr(0, 75);
  // The first 79 characters are the record and four blanks; the end record follows in the same
  // file line and is read as a line of its own.
  EXPECT_EQ(Read(full + "    " + std::string(kEnd) + "junk\n").code, IntelHexCode::Ok);
  EXPECT_EQ(At(0x1F), 0x5F);
  EXPECT_EQ(Read(full + "     " + std::string(kEnd)).code, IntelHexCode::NoRecordMark);
  // A CR LF whose carriage return is the 79th character still ends the line.
  EXPECT_EQ(Read(full + "   \r\n" + std::string(kEnd)).code, IntelHexCode::Ok);
}

struct FaultCase {
  const char* text;
  IntelHexCode code;
  uint32_t loadedBytes;
  const char* message;
};

// Each line also carries the faults of later checks, to prove the order of the checks.
const FaultCase kFaults[] = {
    {"\n", IntelHexCode::NoRecordMark, 0,
     "Erreur : le fichier n'est pas au format HEXA de chez Intel !"},
    {" :0300300002337A1E\n", IntelHexCode::NoRecordMark, 0,
     "Erreur : le fichier n'est pas au format HEXA de chez Intel !"},
    {":\n", IntelHexCode::BadByteCount, 0, "Erreur : nombre d'octets de l'échantillon inconnu !"},
    {":0G00300002337A\n", IntelHexCode::BadByteCount, 0,
     "Erreur : nombre d'octets de l'échantillon inconnu !"},
    {":21FFFF00\n", IntelHexCode::TooManyBytes, 0,
     "Erreur : trop de données sur une même ligne (maxi : 32o) !"},
    {":03\n", IntelHexCode::BadAddress, 0, "Erreur : adresse de l'échantillon incorrecte !"},
    {":0300G000\n", IntelHexCode::BadAddress, 0, "Erreur : adresse de l'échantillon incorrecte !"},
    {":020000040003F7\n:10FFF100\n", IntelHexCode::BeyondLimit, 0,
     "Erreur : le nombre de données dépasse la capacité du Buffer !"},
    {":0300300002337A\n", IntelHexCode::NoChecksum, 0,
     "Erreur : absence de la somme de controle !"},
    {":030030ZZ02337A1E\n", IntelHexCode::BadData, 0,
     "Erreur : certaines données sont invalides (non HEXA) !"},
    {":030030000233ZZ1E\n", IntelHexCode::BadData, 2,
     "Erreur : certaines données sont invalides (non HEXA) !"},
    {":02000004ZZ00FA\n", IntelHexCode::BadData, 0,
     "Erreur : certaines données sont invalides (non HEXA) !"},
    {":0300300002337A1F\n", IntelHexCode::BadChecksum, 3,
     "Erreur : mauvaise valeur de la somme de contrôle !"},
};

TEST_F(IntelHexReader, FirstFaultGivesItsCodeAndMessage) {
  for (const FaultCase& fault : kFaults) {
    SCOPED_TRACE(fault.text);
    const IntelHexResult result = Read(fault.text);
    EXPECT_EQ(result.code, fault.code);
    EXPECT_EQ(result.loadedBytes, fault.loadedBytes);
    EXPECT_EQ(IntelHexMessage(result.code), fault.message);
    EXPECT_TRUE(Changed().empty());
  }
  EXPECT_EQ(IntelHexMessage(IntelHexCode::Ok), "");
}

TEST(HexPairToByte, DecodesEveryDigitCaseAndRefusesOthers) {
  static_assert(HexPairToByte('7', 'a') == uint8_t{0x7A});
  EXPECT_EQ(HexPairToByte('F', 'f'), uint8_t{0xFF});
  EXPECT_EQ(HexPairToByte('0', '9'), uint8_t{0x09});
  for (const char bad : {'G', 'g', '/', ':', '@', '`', ' ', '\0', '\n'}) {
    EXPECT_FALSE(HexPairToByte(bad, '0').has_value()) << bad;
    EXPECT_FALSE(HexPairToByte('0', bad).has_value()) << bad;
  }
}

TEST(IntelHexFile, FileThatCannotBeOpenedIsReportedApart) {
  testing::TempDir dir;
  auto buffer = std::make_unique<Buffer>();
  for (const auto& path : {dir / "missing.hex", dir.path()}) {
    const IntelHexResult result = ReadIntelHex(path, *buffer, kBufferBytes);
    EXPECT_FALSE(result.opened());
    EXPECT_EQ(result.code, IntelHexCode::Ok);
    EXPECT_EQ(result.loadedBytes, 0U);
  }
}

TEST(IntelHexFile, ReadsAFileAsTheTextReaderDoes) {
  testing::TempDir dir;
  const std::string text = Record(0x10, 0, Bytes(20, 0)) + "\r\n" + Record(0x40, 0, {9});
  testing::WriteFile(dir / "image.txt", text);
  auto fromFile = std::make_unique<Buffer>();
  auto fromText = std::make_unique<Buffer>();
  const IntelHexResult file = ReadIntelHex(dir / "image.txt", *fromFile, kBufferBytes);
  const IntelHexResult memory = ReadIntelHexText(text, *fromText, kBufferBytes);
  EXPECT_TRUE(file.opened());
  EXPECT_EQ(file.code, IntelHexCode::NoRecordMark);
  EXPECT_EQ(file.code, memory.code);
  EXPECT_EQ(file.loadedBytes, 20U);
  EXPECT_EQ(*fromFile, *fromText);
}

}  // namespace
}  // namespace keldar
