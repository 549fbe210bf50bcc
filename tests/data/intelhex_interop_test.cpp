// Intel HEX as srecord, GNU objcopy and Python's intelhex (Debian's own python3: another first on
// the PATH may lack the module) write and read it, with the tools run at test time. A missing tool
// fails the test: keldar.sh installs all three.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>

#include "data/buffer.h"
#include "data/intelhex.h"
#include "temp_dir.h"

namespace keldar {
namespace {

// Runs the command with {in} and {out} replaced by the quoted paths; its exit status.
int RunTool(std::string command, const std::filesystem::path& in,
            const std::filesystem::path& out) {
  for (const auto& [token, path] : {std::pair{"{in}", in}, std::pair{"{out}", out}})
    command.replace(command.find(token), std::string_view(token).size(), "'" + path.string() + "'");
  return std::system((command + " >/dev/null 2>&1").c_str());
}

TEST(IntelHexInterop, OtherToolsFilesLoadAndOursReadBackByteForByte) {
  const char* const writers[] = {
      "srec_cat {in} -binary -o {out} -intel",  // 04 record first, records of 32 bytes
      // The start address in the end record's address field.
      "srec_cat {in} -binary -o {out} -intel -address-length=2 -obs=16 "
      "-execution-start-address=0x1234",
      "objcopy -I binary -O ihex {in} {out}",
      "/usr/bin/python3 -c 'import intelhex, sys; h = intelhex.IntelHex(); h.loadbin(sys.argv[1]);"
      " h.start_addr = {\"EIP\": 1}; h.write_hex_file(sys.argv[2])' {in} {out}",  // 05 first
  };
  const char* const readers[] = {
      "srec_cat {in} -intel -o {out} -binary",
      "objcopy -I ihex -O binary {in} {out}",
      "/usr/bin/python3 /usr/share/python3-intelhex/hex2bin.py {in} {out}",
  };
  for (const uint32_t size : {2048U, 65536U, 262144U}) {  // 24C16, 24C512, 24M02
    testing::TempDir dir;
    std::mt19937 random(size);
    auto image = std::make_unique<Buffer>();
    image->fill(0xFF);
    std::generate_n(image->begin(), size, [&] { return static_cast<uint8_t>(random()); });
    const std::string bytes(image->begin(), image->begin() + size);
    testing::WriteFile(dir / "image.bin", bytes);
    ASSERT_EQ(WriteIntelHex(dir / "ours.hex", *image, size), SaveResult::Ok);
    for (const char* const writer : writers) {
      if (size > 65536 && writer == writers[1]) continue;  // 16-bit addresses only
      SCOPED_TRACE(writer);
      ASSERT_EQ(RunTool(writer, dir / "image.bin", dir / "tool.hex"), 0) << size;
      auto buffer = std::make_unique<Buffer>();
      buffer->fill(0xFF);
      EXPECT_EQ(ReadIntelHex(dir / "tool.hex", *buffer, kBufferBytes).code, IntelHexCode::Ok);
      EXPECT_TRUE(*buffer == *image) << size;
    }
    for (const char* const reader : readers) {
      SCOPED_TRACE(reader);
      ASSERT_EQ(RunTool(reader, dir / "ours.hex", dir / "back.bin"), 0) << size;
      EXPECT_TRUE(testing::ReadFile(dir / "back.bin") == bytes) << size;
    }
  }
}

// A range keeps its true addresses, from above 128 KiB across to the next 64 KiB: moved back by
// its first address, srec_cat gives its bytes, and so does objcopy from its lowest address.
TEST(IntelHexInterop, ARangeIsReadBackAtItsOwnAddresses) {
  testing::TempDir dir;
  auto image = std::make_unique<Buffer>();
  std::mt19937 random(3);
  std::generate(image->begin(), image->end(), [&] { return static_cast<uint8_t>(random()); });
  constexpr uint32_t kFirst = 0x1FFF5;
  constexpr uint32_t kCount = 0x30;
  ASSERT_EQ(WriteIntelHexRange(dir / "range.hex", *image, kFirst, kCount), SaveResult::Ok);
  const std::string bytes(image->begin() + kFirst, image->begin() + kFirst + kCount);
  for (const char* reader : {"srec_cat {in} -intel -offset -0x1FFF5 -o {out} -binary",
                             "objcopy -I ihex -O binary {in} {out}"}) {
    SCOPED_TRACE(reader);
    ASSERT_EQ(RunTool(reader, dir / "range.hex", dir / "back.bin"), 0);
    EXPECT_TRUE(testing::ReadFile(dir / "back.bin") == bytes);
  }
}

}  // namespace
}  // namespace keldar
