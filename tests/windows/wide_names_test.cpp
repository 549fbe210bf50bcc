// File names outside the ANSI code page through the data layer: binary images and Intel HEX
// files written, replaced on saving and read back.
#include "data/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "data/binary_image.h"
#include "data/intelhex.h"
#include "temp_dir.h"

namespace keldar {
namespace {

namespace fs = std::filesystem;

TEST(WideNames, FilesAreSavedReplacedAndReadBack) {
  const testing::TempDir dir;
  const fs::path binary = dir.path() / L"données été ∑.bin";
  const fs::path hex = dir.path() / PathFromUtf8("mémoire Ω €.hex");
  auto buffer = std::make_unique<Buffer>();
  for (const int seed : {1, 2}) {  // the second save replaces the first
    for (uint32_t i = 0; i < kBufferBytes; ++i)
      buffer->at(i) = static_cast<uint8_t>(i * 7 + seed);
    ASSERT_EQ(SaveBinaryImage(binary, *buffer, 256), SaveResult::Ok);
    ASSERT_EQ(WriteIntelHex(hex, *buffer, 2048), SaveResult::Ok);
  }
  auto back = std::make_unique<Buffer>();
  ASSERT_EQ(LoadBinaryImage(binary, *back).count, 256U);
  EXPECT_TRUE(std::equal(back->begin(), back->begin() + 256, buffer->begin()));
  back->fill(0);
  EXPECT_EQ(ReadIntelHex(hex, *back, kBufferBytes).code, IntelHexCode::Ok);
  EXPECT_TRUE(std::equal(back->begin(), back->begin() + 2048, buffer->begin()));
  // The UTF-8 name is the wide one, and no temporary file is left beside them.
  EXPECT_TRUE(fs::exists(dir.path() / L"mémoire Ω €.hex"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace keldar
