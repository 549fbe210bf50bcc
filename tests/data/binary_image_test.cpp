#include "data/binary_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "temp_dir.h"

namespace keldar {
namespace {

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 13 + i / 256) & 0xFF);
  return bytes;
}

bool BufferStartsWith(const Buffer& buffer, const std::string& bytes) {
  return std::equal(bytes.begin(), bytes.end(), buffer.begin(),
                    [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
}

class BinaryImage : public ::testing::Test {
 protected:
  BinaryImage() { buffer_->fill(0xEE); }
  testing::TempDir dir_;
  std::unique_ptr<Buffer> buffer_ = std::make_unique<Buffer>();
};

TEST_F(BinaryImage, ShortFileKeepsTheBytesAfterIt) {
  // 1024 bytes with a 24C16 selected: the window reports 1024 bytes read, up to $03FF.
  const std::string image = Pattern(1024);
  testing::WriteFile(dir_ / "dump.bin", image);
  EXPECT_EQ(LoadBinaryImage(dir_ / "dump.bin", *buffer_).count, 1024U);
  EXPECT_TRUE(BufferStartsWith(*buffer_, image));
  EXPECT_TRUE(
      std::all_of(buffer_->begin() + 1024, buffer_->end(), [](uint8_t b) { return b == 0xEE; }));
}

TEST_F(BinaryImage, LongFileFillsTheWholeBuffer) {
  const std::string image = Pattern(300000);
  testing::WriteFile(dir_ / "big.bin", image);
  EXPECT_EQ(LoadBinaryImage(dir_ / "big.bin", *buffer_).count, 262144U);
  EXPECT_TRUE(BufferStartsWith(*buffer_, image.substr(0, 262144)));
}

TEST_F(BinaryImage, NothingToReadLeavesTheBufferAlone) {
  testing::WriteFile(dir_ / "empty.bin", "");
  const Buffer before = *buffer_;
  for (const auto& path : {dir_ / "empty.bin", dir_ / "missing.bin", dir_.path()}) {
    EXPECT_EQ(LoadBinaryImage(path, *buffer_).count, 0U) << path;
  }
  EXPECT_EQ(*buffer_, before);
}

TEST_F(BinaryImage, SaveWritesTheActiveWindowOnly) {
  for (uint32_t i = 0; i < kBufferBytes; ++i)
    buffer_->at(i) = static_cast<uint8_t>(i);
  ASSERT_EQ(SaveBinaryImage(dir_ / "c00.bin", *buffer_, 16), SaveResult::Ok);
  const std::string saved = testing::ReadFile(dir_ / "c00.bin");
  ASSERT_EQ(saved.size(), 16U);
  EXPECT_TRUE(BufferStartsWith(*buffer_, saved));

  ASSERT_EQ(SaveBinaryImage(dir_ / "c512.bin", *buffer_, 65536), SaveResult::Ok);
  EXPECT_EQ(testing::ReadFile(dir_ / "c512.bin").size(), 65536U);
}

TEST_F(BinaryImage, SavedImageLoadsBack) {
  const std::string image = Pattern(256);
  std::copy(image.begin(), image.end(), buffer_->begin());
  ASSERT_EQ(SaveBinaryImage(dir_ / "c02.bin", *buffer_, 256), SaveResult::Ok);
  auto loaded = std::make_unique<Buffer>();
  EXPECT_EQ(LoadBinaryImage(dir_ / "c02.bin", *loaded).count, 256U);
  EXPECT_TRUE(BufferStartsWith(*loaded, image));
}

// A range's file holds the range alone, byte 0 at its first address; one of another size is not
// taken, and says whether it was shorter or longer.
TEST_F(BinaryImage, ARangeSavesAloneAndLoadsBackOnlyFromAFileOfItsSize) {
  const std::string image = Pattern(0x300);
  std::copy(image.begin(), image.end(), buffer_->begin() + 0x1FF00);
  ASSERT_EQ(SaveBinaryRange(dir_ / "range.bin", *buffer_, 0x1FF00, 0x300), SaveResult::Ok);
  EXPECT_EQ(testing::ReadFile(dir_ / "range.bin"), image);

  auto loaded = std::make_unique<Buffer>();
  EXPECT_EQ(LoadBinaryRange(dir_ / "range.bin", *loaded, 0x100, 0x301).count, 0x300U);
  EXPECT_EQ(LoadBinaryRange(dir_ / "range.bin", *loaded, 0x100, 0x2FF).count, 0x300U);
  EXPECT_EQ(*loaded, Buffer{});
  EXPECT_EQ(LoadBinaryRange(dir_ / "range.bin", *loaded, 0x100, 0x300).count, 0x300U);
  auto expected = std::make_unique<Buffer>();
  std::copy(image.begin(), image.end(), expected->begin() + 0x100);
  EXPECT_EQ(*loaded, *expected);
}

}  // namespace
}  // namespace keldar
