#include "data/replace_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <memory>
#include <set>
#include <string>

#include "data/binary_image.h"
#include "data/intelhex.h"
#include "temp_dir.h"

namespace keldar {
namespace {

namespace fs = std::filesystem;

// A file that takes the first `room` bytes, then fails every write, as a full disk does. The bytes
// it takes really land in the file, so that a temporary file left behind would show.
class FullDiskFile final : public OutputFile {
 public:
  FullDiskFile(std::unique_ptr<OutputFile> file, size_t room)
      : file_(std::move(file)), room_(room) {}
  bool Write(std::string_view bytes) override {
    const size_t taken = std::min(bytes.size(), room_);
    room_ -= taken;
    return file_->Write(bytes.substr(0, taken)) && taken == bytes.size();
  }
  bool Close() override { return file_->Close(); }

 private:
  std::unique_ptr<OutputFile> file_;
  size_t room_;
};

OutputFileOpener FullDisk(size_t room) {
  return [room](const fs::path& path) -> std::unique_ptr<OutputFile> {
    auto file = OpenStdioFile(path, OpenMode::CreateNew);
    if (!file) return nullptr;
    return std::make_unique<FullDiskFile>(std::move(file), room);
  };
}

class ReplaceFileTest : public ::testing::Test {
 protected:
  ReplaceFileTest() {
    for (uint32_t i = 0; i < kBufferBytes; ++i)
      buffer_->at(i) = static_cast<uint8_t>(i);
    testing::WriteFile(target_, kOld);
  }

  static constexpr const char* kOld = "the previous file";
  testing::TempDir dir_;
  fs::path target_ = dir_ / "image.bin";
  std::unique_ptr<Buffer> buffer_ = std::make_unique<Buffer>();
};

TEST_F(ReplaceFileTest, FailedWritesKeepTheOldFileAndLeaveNoTemporary) {
  for (const size_t room : {size_t{0}, size_t{7}, size_t{255}}) {
    SCOPED_TRACE(room);
    EXPECT_EQ(SaveBinaryImage(target_, *buffer_, 256, FullDisk(room)), SaveResult::WriteFailed);
    EXPECT_EQ(WriteIntelHex(target_, *buffer_, 256, 16, FullDisk(room * 2)),
              SaveResult::WriteFailed);
    EXPECT_EQ(testing::ReadFile(target_), kOld);
    EXPECT_EQ(dir_.Names(), std::set<std::string>{"image.bin"});
  }
  // With room enough the same writer succeeds.
  EXPECT_EQ(SaveBinaryImage(target_, *buffer_, 256, FullDisk(256)), SaveResult::Ok);
  EXPECT_EQ(testing::ReadFile(target_).size(), 256U);
  EXPECT_EQ(dir_.Names(), std::set<std::string>{"image.bin"});
}

TEST_F(ReplaceFileTest, FullDeviceIsNoticedAtTheFlush) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  // 16 bytes fit in the stdio buffer: only the flush on closing meets the full device.
  const OutputFileOpener full = [](const fs::path&) {
    return OpenStdioFile("/dev/full", OpenMode::Truncate);
  };
  EXPECT_EQ(SaveBinaryImage(target_, *buffer_, 16, full), SaveResult::WriteFailed);
  EXPECT_EQ(WriteIntelHex(target_, *buffer_, 16, 16, full), SaveResult::WriteFailed);
  EXPECT_EQ(testing::ReadFile(target_), kOld);
  EXPECT_EQ(dir_.Names(), std::set<std::string>{"image.bin"});
}

TEST_F(ReplaceFileTest, SuccessfulSaveReplacesTheFileAndKeepsItsPermissions) {
  constexpr fs::perms kPermissions =
      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target_, kPermissions);
  if (fs::status(target_).permissions() != kPermissions) GTEST_SKIP() << "no such permissions here";
  ASSERT_EQ(SaveBinaryImage(target_, *buffer_, 16), SaveResult::Ok);
  EXPECT_EQ(testing::ReadFile(target_).size(), 16U);
  EXPECT_EQ(fs::status(target_).permissions(), kPermissions);
  EXPECT_EQ(dir_.Names(), std::set<std::string>{"image.bin"});
}

TEST_F(ReplaceFileTest, TargetsThatMayNotBeReplacedAreRefused) {
  fs::create_directory(dir_ / "folder");
  EXPECT_EQ(SaveBinaryImage(dir_ / "folder", *buffer_, 16), SaveResult::CannotCreate);
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
  EXPECT_EQ(SaveBinaryImage(dir_ / "no-such-folder" / "x.bin", *buffer_, 16),
            SaveResult::CannotCreate);

  fs::permissions(target_, fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(WriteIntelHex(target_, *buffer_, 16), SaveResult::CannotCreate);
  fs::permissions(target_, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(testing::ReadFile(target_), kOld);
  EXPECT_EQ(dir_.Names(), (std::set<std::string>{"folder", "image.bin"}));
}

#ifndef _WIN32
// Root writes into read-only folders, so as root the save runs in a child process that has
// given up its privileges.
SaveResult SaveAsUnprivileged(const fs::path& target, const Buffer& buffer) {
  if (geteuid() != 0) return SaveBinaryImage(target, buffer, 16).result;
  const pid_t child = fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(100);
    _exit(static_cast<int>(SaveBinaryImage(target, buffer, 16).result));
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return SaveResult::Ok;
  return static_cast<SaveResult>(WEXITSTATUS(status));
}

TEST_F(ReplaceFileTest, ReadOnlyFolderKeepsTheOldFile) {
  fs::permissions(target_, fs::perms::all);
  fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
  EXPECT_EQ(SaveAsUnprivileged(target_, *buffer_), SaveResult::CannotCreate);
  EXPECT_EQ(testing::ReadFile(target_), kOld);
  EXPECT_EQ(dir_.Names(), std::set<std::string>{"image.bin"});
}
#endif

TEST_F(ReplaceFileTest, LinkedTargetHasTheFileItNamesReplaced) {
  std::error_code error;
  fs::create_symlink(target_.filename(), dir_ / "link.bin", error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  ASSERT_EQ(SaveBinaryImage(dir_ / "link.bin", *buffer_, 16), SaveResult::Ok);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.bin"));
  EXPECT_EQ(testing::ReadFile(target_).size(), 16U);
  EXPECT_EQ(dir_.Names(), (std::set<std::string>{"image.bin", "link.bin"}));
}

TEST_F(ReplaceFileTest, NewFileIsCreated) {
  ASSERT_EQ(WriteIntelHex(dir_ / "new.hex", *buffer_, 16), SaveResult::Ok);
  EXPECT_EQ(testing::ReadFile(dir_ / "new.hex"),
            ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n");
}

}  // namespace
}  // namespace keldar
