// Intel HEX files as srecord, GNU objcopy and Python's intelhex write them, made by the tools
// themselves at test time, and ours read back by the same tools. A missing tool fails: keldar.sh
// installs all three. Python is Debian's own: another python3 first on the PATH may lack the
// module.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "data/buffer.h"
#include "data/intelhex.h"
#include "temp_dir.h"

namespace keldar {
namespace {

// The command with {in} and {out} replaced by the quoted paths, its output silenced.
std::string Command(std::string pattern, const std::filesystem::path& in,
                    const std::filesystem::path& out) {
  for (const auto& [token, path] : {std::pair{"{in}", in}, std::pair{"{out}", out}}) {
    const std::string_view name(token);
    pattern.replace(pattern.find(name), name.size(), "'" + path.string() + "'");
  }
  return pattern + " >/dev/null 2>&1";
}

std::string Image(size_t size) {
  std::mt19937 random(static_cast<unsigned>(size));
  std::string bytes(size, '\0');
  for (char& byte : bytes)
    byte = static_cast<char>(random());
  return bytes;
}

constexpr size_t kSizes[] = {2048, 65536};  // a 24C16, a 24C512

TEST(IntelHexInterop, FilesOtherToolsWriteLoadByteForByte) {
  const char* const writers[] = {
      "srec_cat {in} -binary -o {out} -intel",  // 04 record first, records of 32 bytes
      "srec_cat {in} -binary -o {out} -intel -obs=16 -execution-start-address=0x1234",  // 05 last
      "srec_cat {in} -binary -o {out} -intel -address-length=2 -obs=16",
      "srec_cat {in} -binary -o {out} -intel -address-length=2 -obs=32",
      "objcopy -I binary -O ihex {in} {out}",
      "objcopy -I binary -O ihex --set-start 0x1234 {in} {out}",  // 03 before the end record
      "/usr/bin/python3 /usr/share/python3-intelhex/bin2hex.py {in} {out}",
      // The start address record comes first.
      "/usr/bin/python3 -c 'import intelhex, sys; h = intelhex.IntelHex(); h.loadbin(sys.argv[1]);"
      " h.start_addr = {\"EIP\": 0x1234}; h.write_hex_file(sys.argv[2])' {in} {out}",
  };
  for (const size_t size : kSizes) {
    testing::TempDir dir;
    const std::string image = Image(size);
    testing::WriteFile(dir / "image.bin", image);
    for (const char* const writer : writers) {
      SCOPED_TRACE(std::string(writer) + ", " + std::to_string(size) + " bytes");
      const std::string command = Command(writer, dir / "image.bin", dir / "tool.hex");
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      auto buffer = std::make_unique<Buffer>();
      buffer->fill(0xFF);
      const IntelHexResult result = ReadIntelHex(dir / "tool.hex", *buffer, kBufferBytes);
      EXPECT_EQ(result.code, IntelHexCode::Ok);
      EXPECT_EQ(result.loadedBytes, size);
      EXPECT_EQ(std::string(buffer->begin(), buffer->begin() + static_cast<ptrdiff_t>(size)),
                image);
      EXPECT_TRUE(std::all_of(buffer->begin() + static_cast<ptrdiff_t>(size), buffer->end(),
                              [](uint8_t b) { return b == 0xFF; }));
    }
  }
}

TEST(IntelHexInterop, OtherToolsReadOurFilesByteForByte) {
  const char* const readers[] = {
      "srec_cat {in} -intel -o {out} -binary",
      "objcopy -I ihex -O binary {in} {out}",
      "/usr/bin/python3 /usr/share/python3-intelhex/hex2bin.py {in} {out}",
  };
  for (const size_t size : kSizes) {
    testing::TempDir dir;
    const std::string image = Image(size);
    const std::span bytes(reinterpret_cast<const uint8_t*>(image.data()), size);
    ASSERT_EQ(WriteIntelHex(dir / "ours.hex", bytes, static_cast<uint32_t>(size)), SaveResult::Ok);
    for (const char* const reader : readers) {
      SCOPED_TRACE(std::string(reader) + ", " + std::to_string(size) + " bytes");
      const std::string command = Command(reader, dir / "ours.hex", dir / "back.bin");
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      EXPECT_EQ(testing::ReadFile(dir / "back.bin"), image);
    }
  }
}

}  // namespace
}  // namespace keldar
