// The pseudo-random generator behind the random fill. The main window owns one for the whole run,
// seeded once from the clock and never reseeded, so successive random fills continue one sequence.
#pragma once

#include <cstdint>
#include <random>

namespace keldar {

// Park and Miller's minimal standard generator (std::minstd_rand): non-negative 31-bit values,
// 1 to 2^31 - 2. The fill keeps only the low 8 bits of each value, so the generator must be good
// there: its prime modulus makes the low bits as random as the high ones, whereas the
// power-of-two LCG of the classic rand() repeats its low 8 bits every 256 draws and would turn a
// 64 KiB random fill into 256 copies of one 256-byte run.
class RandomSource {
 public:
  explicit RandomSource(uint32_t seed) : engine_(seed) {}

  // Seeded with the current time in seconds, so each run draws a different sequence.
  [[nodiscard]] static RandomSource FromClock();

  [[nodiscard]] uint32_t Next() { return static_cast<uint32_t>(engine_()); }

 private:
  std::minstd_rand engine_;
};

}  // namespace keldar
