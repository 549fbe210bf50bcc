// Reading and writing a 64 KiB image as Intel HEX (4096 records of 16 bytes and the end record),
// on files in a fresh temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "data/buffer.h"
#include "data/fills.h"
#include "data/intelhex.h"

namespace keldar {
namespace {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device entropy;
    do {
      path_ =
          std::filesystem::temp_directory_path() / ("keldar-bench-" + std::to_string(entropy()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::filesystem::path File(const char* name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

constexpr uint32_t kImageBytes = 65536;  // a whole 24C512

std::unique_ptr<Buffer> RandomImage() {
  auto image = std::make_unique<Buffer>();
  RandomSource random(2024);
  FillRandom(*image, kImageBytes, random);
  return image;
}

void WriteIntelHex64K(benchmark::State& state) {
  const ScratchFolder folder;
  const auto image = RandomImage();
  for (auto _ : state) {
    if (WriteIntelHex(folder.File("image.hex"), *image, kImageBytes) != SaveResult::Ok) {
      state.SkipWithError("write failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kImageBytes);
}
BENCHMARK(WriteIntelHex64K)->Unit(benchmark::kMillisecond);

void ReadIntelHex64K(benchmark::State& state) {
  const ScratchFolder folder;
  const auto image = RandomImage();
  if (WriteIntelHex(folder.File("image.hex"), *image, kImageBytes) != SaveResult::Ok) {
    state.SkipWithError("could not prepare the file");
    return;
  }
  auto destination = std::make_unique<Buffer>();
  for (auto _ : state) {
    const IntelHexResult result =
        ReadIntelHex(folder.File("image.hex"), *destination, kBufferBytes);
    if (result.code != IntelHexCode::Ok || result.loadedBytes != kImageBytes) {
      state.SkipWithError("read failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kImageBytes);
}
BENCHMARK(ReadIntelHex64K)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace keldar

BENCHMARK_MAIN();
